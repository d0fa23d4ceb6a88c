#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kvm {

class Ui;

// Lines of a help text joined by CR LF.
std::u16string joinLines(std::span<const std::u16string_view> lines);

// A dialog's help: the lines in one message box (information icon, OK) under the given title.
void showHelpText(Ui& ui, std::span<const std::u16string_view> lines, std::u16string_view title);

}  // namespace kvm
