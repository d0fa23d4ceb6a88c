#include "billtools/help_box.h"

#include "ui/ui.h"

namespace kvm {

std::u16string joinLines(std::span<const std::u16string_view> lines) {
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      text += u"\r\n";
    }
    text += lines[i];
  }
  return text;
}

void showHelpText(Ui& ui, std::span<const std::u16string_view> lines, std::u16string_view title) {
  showMessage(ui, joinLines(lines), std::u16string(title));
}

}  // namespace kvm
