#!/usr/bin/env python3
"""Renders a DXF drawing to PNG with ezdxf's drawing add-on and matplotlib.

    scripts/render_dxf.py DRAWING.dxf PICTURE.png [--width PIXELS] [--window X0,Y0,X1,Y1]

The drawing's text styles name the fonts of the users' systems (宋体); a Linux machine has
none of them, so every style is drawn with a Chinese font of the distribution instead. ezdxf
sizes a text by its capital letters, where a CAD program with the users' Chinese fonts fills
the whole character cell; texts are drawn at --text-scale of their height so that they take
the width they take there.
"""
import argparse
import sys

import ezdxf
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402
from ezdxf.tools import fonts  # noqa: E402


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("drawing")
    parser.add_argument("picture")
    parser.add_argument("--width", type=int, default=1600, help="picture width in pixels")
    parser.add_argument("--font", default="WenQuanYi Micro Hei",
                        help="the font family every text style is drawn with")
    parser.add_argument("--window", help="only this part of the drawing: X0,Y0,X1,Y1")
    parser.add_argument("--text-scale", type=float, default=0.75,
                        help="share of its height a text is drawn at")
    args = parser.parse_args()

    try:
        doc = ezdxf.readfile(args.drawing)
    except (IOError, ezdxf.DXFStructureError) as error:
        print(f"{args.drawing}: {error}", file=sys.stderr)
        return 1
    # ezdxf finds a style's font by its file name; make the stand-in known under one.
    stand_in = "kavelmor-stand-in.ttf"
    fonts.font_face_cache[fonts.cache_key(stand_in)] = fonts.FontFace(
        ttf=stand_in, family=args.font, style="normal", stretch="normal", weight="normal")
    for style in doc.styles:
        style.dxf.font = stand_in
        style.dxf.bigfont = ""

    msp = doc.modelspace()
    for text in msp.query("TEXT"):
        text.dxf.height *= args.text_scale
    figure = plt.figure()
    axes = figure.add_axes([0, 0, 1, 1])
    context = RenderContext(doc)
    layout = LayoutProperties.from_layout(msp)
    layout.set_colors(bg="#000000")
    Frontend(context, MatplotlibBackend(axes)).draw_layout(msp, finalize=True,
                                                           layout_properties=layout)
    if args.window:
        try:
            x0, y0, x1, y1 = (float(v) for v in args.window.split(","))
        except ValueError:
            print(f"--window takes four numbers X0,Y0,X1,Y1: {args.window}", file=sys.stderr)
            return 1
        axes.set_xlim(min(x0, x1), max(x0, x1))
        axes.set_ylim(min(y0, y1), max(y0, y1))
    x0, x1 = axes.get_xlim()
    y0, y1 = axes.get_ylim()
    aspect = (y1 - y0) / (x1 - x0) if x1 > x0 else 1
    dpi = 100
    figure.set_size_inches(args.width / dpi, args.width * aspect / dpi)
    figure.savefig(args.picture, dpi=dpi, facecolor="#000000")
    plt.close(figure)
    print(f"Rendered {args.drawing} to {args.picture}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
