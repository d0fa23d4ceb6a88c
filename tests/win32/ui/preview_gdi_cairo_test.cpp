// The settings dialog's preview drawn by GDI under wine against the same preview drawn by the
// cairo canvas: every outline vertex of every built-in flashing on the same pixel.
//
// Run by ctest with KVM_WINE (the wine program) and KVM_WINDOWS_BIN (the cross build's
// programs) in the environment, and the wine prefix's variables.
#include <gtest/gtest.h>

#include <cairo.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/cairo/cairo_render.h"
#include "preview/preview_area.h"
#include "preview/profile_preview.h"
#include "storage/builtin_database.h"
#include "tests/preview/recording_ui.h"
#include "tests/win32/ui/bitmap_file.h"
#include "tests/win32/ui/preview_outline.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = static_cast<int>(preview::kAreaWidth);
constexpr int kHeight = static_cast<int>(preview::kAreaHeight);

std::string environment(const char* name) {
  const char* value = std::getenv(name);  // NOLINT: read once, before any thread starts
  return value == nullptr ? std::string() : std::string(value);
}

// Z: is the root of the build machine's file system in every wine prefix.
std::string windowsPath(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// Runs the program with this process's environment and returns its exit status.
int run(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));  // NOLINT: posix_spawn's signature
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawn(&child, argv.front(), nullptr, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// At least half of full brightness in some channel: a pixel a line covers, not one that
// anti-aliasing only brushed.
bool lit(uint32_t pixel) {
  return ((pixel >> 16U) & 0xFFU) >= 128 || ((pixel >> 8U) & 0xFFU) >= 128 ||
         (pixel & 0xFFU) >= 128;
}

struct Preview {
  std::string name;
  std::vector<canvas::CanvasOp> ops;
};

std::vector<Preview> builtinPreviews() {
  std::vector<Preview> previews;
  preview::testing::RecordingUi ui;
  for (const FlashingLibrary& library : builtinLibraryTable()) {
    for (const Flashing& flashing : library.Flashings) {
      preview::RecordingPreviewArea area;
      preview::drawPreview(flashing, area, ui);
      previews.push_back({toUtf8(flashing.Name), area.recording().ops()});
    }
  }
  return previews;
}

fs::path pictureFile(const fs::path& folder, std::size_t index, const char* suffix) {
  char name[32]{};
  std::snprintf(name, sizeof name, "%02zu%s.bmp", index + 1, suffix);
  return folder / name;
}

// The GDI pictures, drawn once for all the cases by the Windows program under wine.
class GdiAgainstCairo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string wine = environment("KVM_WINE");
    const std::string bin = environment("KVM_WINDOWS_BIN");
    if (wine.empty() || bin.empty()) {
      return;
    }
    folder_ = fs::temp_directory_path() / ("kvm-gdi-previews-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    status_ =
        run({wine, (fs::path(bin) / "preview_gdi_pictures.exe").string(), windowsPath(folder_)});
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void SetUp() override {
    if (folder_.empty()) {
      GTEST_SKIP() << "KVM_WINE and KVM_WINDOWS_BIN name no wine and no Windows programs";
    }
    ASSERT_EQ(status_, 0) << "preview_gdi_pictures.exe failed under wine";
  }

  static fs::path folder_;
  static int status_;
};

fs::path GdiAgainstCairo::folder_;
int GdiAgainstCairo::status_ = -1;

// How the two pictures agree around one vertex, the second moved by (dx, dy) pixels.
struct VertexMatch {
  bool cornerLitInGdi = false;
  bool cornerLitInCairo = false;
  int farthest = 0;  // the largest distance from a lit pixel to the other picture's nearest
};

// The window around a vertex in which the pictures must agree.
constexpr int kReach = 2;

bool litAt(const Bitmap& picture, int x, int y) {
  return x >= 0 && y >= 0 && x < picture.width && y < picture.height && lit(picture.at(x, y));
}

// The four pixels that meet at the vertex's point: a pen two pixels wide covers all of them
// at its round end or joint, whether centred on the pixel (GDI) or on its corner (cairo).
bool cornerLit(const auto& isLit, Vertex v) {
  return isLit(v.x - 1, v.y - 1) && isLit(v.x, v.y - 1) && isLit(v.x - 1, v.y) && isLit(v.x, v.y);
}

// Distance to the nearest lit pixel, a diagonal step counting one.
int nearestLit(const auto& isLit, int x, int y) {
  for (int d = 0; d <= 2 * kReach; ++d) {
    for (int ny = y - d; ny <= y + d; ++ny) {
      for (int nx = x - d; nx <= x + d; ++nx) {
        if (std::max(std::abs(nx - x), std::abs(ny - y)) == d && isLit(nx, ny)) {
          return d;
        }
      }
    }
  }
  return 2 * kReach + 1;
}

VertexMatch matchAt(const Bitmap& gdi, const Bitmap& cairo, Vertex v, int dx = 0, int dy = 0) {
  const auto inGdi = [&](int x, int y) { return litAt(gdi, x, y); };
  const auto inCairo = [&](int x, int y) { return litAt(cairo, x - dx, y - dy); };
  VertexMatch match;
  match.cornerLitInGdi = cornerLit(inGdi, v);
  match.cornerLitInCairo = cornerLit(inCairo, v);
  for (int y = v.y - kReach; y <= v.y + kReach; ++y) {
    for (int x = v.x - kReach; x <= v.x + kReach; ++x) {
      if (inGdi(x, y)) {
        match.farthest = std::max(match.farthest, nearestLit(inCairo, x, y));
      }
      if (inCairo(x, y)) {
        match.farthest = std::max(match.farthest, nearestLit(inGdi, x, y));
      }
    }
  }
  return match;
}

bool sameVertex(const VertexMatch& match) {
  return match.cornerLitInGdi && match.cornerLitInCairo && match.farthest <= 1;
}

struct OutlinePair {
  Bitmap gdi;
  Bitmap cairo;
  std::vector<Vertex> vertices;
};

OutlinePair outlinePair(const fs::path& folder, std::size_t index, const Preview& preview) {
  OutlinePair pair;
  pair.gdi = readBitmap(pictureFile(folder, index, "-outline"));
  cairo::Image drawn = cairo::renderToImage(outlineOps(preview.ops), kWidth, kHeight);
  pair.cairo = Bitmap{drawn.width, drawn.height, std::move(drawn.pixels)};
  pair.vertices = outlineVertices(preview.ops, kWidth, kHeight);
  return pair;
}

// The outline alone, so that no text near a vertex lights its pixels. Where the four pixels at
// a vertex's point are lit in both, the vertex is on the same pixel; around it, within two
// pixels, the pictures may part only by one pixel at a diagonal's edge: GDI fills the pixels
// whose centres lie inside the pen and cairo covers them by area (a pixel counts as lit from
// half brightness), so a slanting line's stairs can fall one pixel apart.
TEST_F(GdiAgainstCairo, every_outline_vertex_is_on_the_same_pixel) {
  const std::vector<Preview> previews = builtinPreviews();
  ASSERT_EQ(previews.size(), 32U);
  std::size_t vertices = 0;
  for (std::size_t i = 0; i < previews.size(); ++i) {
    const OutlinePair pair = outlinePair(folder_, i, previews[i]);
    ASSERT_EQ(pair.gdi.width, kWidth);
    ASSERT_EQ(pair.gdi.height, kHeight);
    for (const Vertex& v : pair.vertices) {
      ++vertices;
      const VertexMatch match = matchAt(pair.gdi, pair.cairo, v);
      EXPECT_TRUE(sameVertex(match))
          << previews[i].name << " (" << i + 1 << "), vertex " << v.x << "," << v.y
          << ": lit at its point by GDI " << match.cornerLitInGdi << ", by cairo "
          << match.cornerLitInCairo << "; pictures up to " << match.farthest << " px apart";
    }
  }
  EXPECT_GT(vertices, 3 * previews.size());
}

// The tolerance above is tight enough: one pixel of offset anywhere shows at some vertex of
// every flashing.
TEST_F(GdiAgainstCairo, an_outline_one_pixel_off_is_caught) {
  const std::vector<Preview> previews = builtinPreviews();
  for (std::size_t i = 0; i < previews.size(); ++i) {
    const OutlinePair pair = outlinePair(folder_, i, previews[i]);
    for (const auto& shift :
         {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
      const int dx = shift.first;
      const int dy = shift.second;
      const bool caught = std::any_of(pair.vertices.begin(), pair.vertices.end(), [&](Vertex v) {
        return !sameVertex(matchAt(pair.gdi, pair.cairo, v, dx, dy));
      });
      EXPECT_TRUE(caught) << previews[i].name << " (" << i + 1 << ") moved by " << dx << "," << dy;
    }
  }
}

// Pixels of a kind: the outline's and marks' white and the dimensions' scale colour.
struct Counts {
  int white = 0;
  int coloured = 0;
};

Counts countLit(const std::vector<uint32_t>& pixels) {
  Counts counts;
  for (const uint32_t pixel : pixels) {
    const uint32_t red = (pixel >> 16U) & 0xFFU;
    const uint32_t green = (pixel >> 8U) & 0xFFU;
    const uint32_t blue = pixel & 0xFFU;
    if (red >= 128 && green >= 128 && blue >= 128) {
      ++counts.white;
    } else if (lit(pixel)) {
      ++counts.coloured;
    }
  }
  return counts;
}

// A picture of a few flashings, GDI on the left and cairo on the right, for a person to
// compare; written into the build folder.
class SideBySide {
 public:
  static constexpr int kGap = 12;
  static constexpr int kCaption = 22;

  explicit SideBySide(int rows)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 3 * kGap + 2 * kWidth,
                                            kGap + rows * (kCaption + kHeight + kGap)),
                 &cairo_surface_destroy),
        context_(cairo_create(surface_.get()), &cairo_destroy) {
    cairo_set_source_rgb(context_.get(), 0.94, 0.94, 0.94);
    cairo_paint(context_.get());
  }

  void add(int row, const std::string& caption, const Bitmap& gdi, const Bitmap& drawn) {
    const double top = kGap + row * (kCaption + kHeight + kGap);
    cairo_t* cr = context_.get();
    cairo_select_font_face(cr, cairo::kDefaultFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13.0);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    const std::string left = caption + "    GDI (wine)";
    cairo_move_to(cr, kGap, top + 15);
    cairo_show_text(cr, left.c_str());
    cairo_move_to(cr, 2 * kGap + kWidth, top + 15);
    cairo_show_text(cr, "cairo");
    paint(gdi, kGap, top + kCaption);
    paint(drawn, 2 * kGap + kWidth, top + kCaption);
  }

  void write(const fs::path& file) {
    cairo_surface_flush(surface_.get());
    ASSERT_EQ(cairo_surface_write_to_png(surface_.get(), file.string().c_str()),
              CAIRO_STATUS_SUCCESS)
        << file;
  }

 private:
  void paint(const Bitmap& picture, double left, double top) {
    std::vector<uint32_t> pixels = picture.pixels;
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
        cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(pixels.data()),  // NOLINT
            CAIRO_FORMAT_RGB24, picture.width, picture.height, picture.width * 4),
        &cairo_surface_destroy);
    cairo_set_source_surface(context_.get(), image.get(), left, top);
    cairo_paint(context_.get());
  }

  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface_;
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context_;
};

// The whole previews, texts and all, alike: about as many white pixels (outline, marks and
// free texts) and the dimensions in the scale colour in both. The faces differ (wine's own
// choice for a font without a face name against the distribution's CJK face), so the texts
// are not compared pixel by pixel.
TEST_F(GdiAgainstCairo, the_whole_previews_look_alike) {
  const std::vector<Preview> previews = builtinPreviews();
  const std::vector<std::size_t> shown{0, 7, 17, 22};  // 屋脊包角, and 屋脊包角b with a free text
  SideBySide picture(static_cast<int>(shown.size()));
  int row = 0;
  for (std::size_t i = 0; i < previews.size(); ++i) {
    const Bitmap gdi = readBitmap(pictureFile(folder_, i, ""));
    cairo::Image drawn = cairo::renderToImage(previews[i].ops, kWidth, kHeight);
    const Counts byGdi = countLit(gdi.pixels);
    const Counts byCairo = countLit(drawn.pixels);
    EXPECT_NEAR(byGdi.white, byCairo.white, 0.15 * byCairo.white) << previews[i].name;
    EXPECT_GT(byGdi.coloured, 0) << previews[i].name;
    EXPECT_GT(byCairo.coloured, 0) << previews[i].name;
    if (std::find(shown.begin(), shown.end(), i) != shown.end()) {
      picture.add(row++, previews[i].name, gdi, Bitmap{kWidth, kHeight, std::move(drawn.pixels)});
    }
  }
  picture.write(fs::path(KVM_PREVIEW_PICTURE_DIR) / "preview_gdi_cairo.png");
}

TEST(BitmapFile, a_file_that_is_not_a_picture_is_refused_with_its_name) {
  const fs::path file =
      fs::temp_directory_path() / ("kvm-not-a-picture-" + std::to_string(getpid()) + ".bmp");
  {
    std::ofstream out(file, std::ios::binary);
    out << "BM but nothing more";
  }
  try {
    (void)readBitmap(file);
    ADD_FAILURE() << "a short file was read";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
  }
  fs::remove(file);
}

}  // namespace
}  // namespace kvm::testing
