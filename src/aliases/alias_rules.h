#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvm {

// One of the host commands that may have an alias.
struct AliasCommand {
  std::u16string_view fullName;
  std::u16string_view defaultAlias;
  std::u16string_view function;
};

// In the fixed order of the editor's table.
inline constexpr std::array<AliasCommand, 4> kAliasCommands{{
    {u"KavelmorList", u"BL", u"输出包角预清单"},
    {u"KVMPeiCeng", u"PC", u"给各包角分配所属线条"},
    {u"KVMWanShan", u"WS", u"完善包角清单"},
    {u"KVMDanXian", u"DX", u"单项显现某包角所属引线"},
}};

// The registry value that keeps the aliases, and its content when nothing usable is stored.
inline constexpr std::u16string_view kAliasValueName = u"JHML";
inline constexpr std::u16string_view kDefaultAliases = u"BL PC WS DX";

// The stored alias list made readable: runs of spaces collapsed, the text trimmed, enclosing
// parentheses dropped; empty becomes the default list.
std::u16string normaliseStoredAliases(std::u16string_view stored);

// Why an alias (already trimmed) cannot be a command name, or nullopt when it can.
std::optional<std::u16string> aliasRefusal(std::u16string_view alias,
                                           std::u16string_view defaultAlias);

// The aliases in command order separated by single spaces, as they are stored.
std::u16string joinAliases(const std::vector<std::u16string>& aliases);

// The AutoLISP text that defines an alias as a command calling the full command.
std::u16string aliasDefinition(std::u16string_view alias, std::u16string_view fullName);

}  // namespace kvm
