#include "apps/kavelmor/db/database_table_text.h"

#include <ostream>
#include <string>
#include <vector>

#include "apps/kavelmor/db/terminal_text.h"
#include "base/codepage.h"
#include "base/numbers.h"
#include "base/text.h"

namespace kvm::cli {
namespace {

// Control characters shown as escapes, so a name's line break stays visible.
std::u16string visible(const std::u16string& text) {
  std::u16string out;
  for (const char16_t c : text) {
    if (c == u'\r') {
      out += u"\\r";
    } else if (c == u'\n') {
      out += u"\\n";
    } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
      out += u"\\x" + decimal(c);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// A library's name without the line break some files end it with.
std::u16string withoutTrailingBreak(std::u16string name) {
  while (!name.empty() && (name.back() == u'\r' || name.back() == u'\n')) {
    name.pop_back();
  }
  return name;
}

// Terminal columns: a Chinese character takes two, like its GBK bytes.
std::size_t width(const std::u16string& text) {
  return gbkByteLength(text);
}

std::u16string scaleText(uint8_t code) {
  return code == 5 ? std::u16string(u"1:5") : u"1:" + decimal(code) + u"0";
}

template <class T>
std::u16string count(const DynamicArray<T>& items) {
  return items.isAllocated() ? decimal(static_cast<long long>(items.size())) : u"-";
}

std::u16string twoDigits(std::size_t n) {
  const std::u16string text = decimal(static_cast<long long>(n));
  return text.size() < 2 ? u"0" + text : text;
}

struct Column {
  std::u16string title;
  bool alignRight;
};

void printRows(const std::vector<Column>& columns,
               const std::vector<std::vector<std::u16string>>& rows, std::ostream& out) {
  std::vector<std::size_t> widths;
  widths.reserve(columns.size());
  for (const Column& column : columns) {
    widths.push_back(width(column.title));
  }
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], width(row[i]));
    }
  }
  auto line = [&](const std::vector<std::u16string>& cells) {
    std::u16string text = u"   ";
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::u16string pad(widths[i] - width(cells[i]), u' ');
      text += u"  ";
      text += columns[i].alignRight ? pad + cells[i] : cells[i] + pad;
    }
    out << toUtf8(trimRightSpaces(text)) << '\n';
  };
  std::vector<std::u16string> titles;
  titles.reserve(columns.size());
  for (const Column& column : columns) {
    titles.push_back(column.title);
  }
  line(titles);
  for (const auto& row : rows) {
    line(row);
  }
}

}  // namespace

void printLibraryTable(const LibraryTable& table, std::ostream& out) {
  std::size_t flashings = 0;
  for (const FlashingLibrary& library : table) {
    flashings += library.Flashings.size();
  }
  out << counted(table.size(), "library", "libraries") << ", "
      << counted(flashings, "flashing", "flashings") << '\n';
  const std::vector<Column> columns{{u"No", false},       {u"Name", false},    {u"MaxCut", true},
                                    {u"Overlap", true},   {u"Color", false},   {u"Extension", true},
                                    {u"Factor", true},    {u"Width", true},    {u"Scale", false},
                                    {u"Start", true},     {u"Segments", true}, {u"Texts", true},
                                    {u"Dimensions", true}};
  for (std::size_t i = 0; i < table.size(); ++i) {
    const FlashingLibrary& library = table[i];
    const std::u16string name =
        library.Name.empty() ? u"(no name)" : visible(withoutTrailingBreak(library.Name));
    out << '\n'
        << static_cast<char>('A' + (i % 26)) << "  " << toUtf8(name) << ": "
        << (library.Flashings.isAllocated()
                ? counted(library.Flashings.size(), "flashing", "flashings")
                : std::string("no flashings"))
        << ", last selected " << toUtf8(twoDigits(std::size_t{library.LastFlashing} + 1)) << '\n';
    std::vector<std::vector<std::u16string>> rows;
    for (std::size_t k = 0; k < library.Flashings.size(); ++k) {
      const Flashing& f = library.Flashings[k];
      rows.push_back({twoDigits(k + 1), visible(f.Name), decimal(f.MaxCutLength),
                      decimal(f.Overlap), visible(f.Color), decimal(f.EndExtension),
                      formatFixed(f.LengthFactor, 2), decimal(f.DevelopedWidth),
                      scaleText(f.ScaleCode), decimal(f.StartX) + u"," + decimal(f.StartY),
                      count(f.SegmentLengths), count(f.TextMarks), count(f.DimensionMarks)});
    }
    if (!rows.empty()) {
      printRows(columns, rows, out);
    }
  }
}

}  // namespace kvm::cli
