#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project_settings.h"
#include "storage/settings_store.h"

namespace kvm {

// The settings dialog's keys in the settings store.
inline constexpr std::u16string_view kDangKey = u"dang";
inline constexpr std::u16string_view kDangSelKey = u"dangSel";
// Stored whenever the database file is created from the built-in database.
inline constexpr std::u16string_view kFreshDangSel = u"0,0,0";

// dang: the project settings and the current-use rows, fields separated by the character
// with code 1, so a row may hold commas.
struct DangValue {
  ProjectSettings project;
  std::vector<std::u16string> currentUse;

  bool operator==(const DangValue&) const = default;
};

std::u16string formatDang(const ProjectSettings& project,
                          const std::vector<std::u16string>& currentUse);
// nullopt when the value has fewer than four fields: nothing is restored then.
std::optional<DangValue> parseDang(std::u16string_view value);

// dangSel: the selected rows of the current-use, library and flashing lists (-1 for none).
struct ListSelections {
  int32_t currentUseRow = -1;
  int32_t libraryRow = -1;
  int32_t flashingRow = -1;

  bool operator==(const ListSelections&) const = default;
};

std::u16string formatDangSel(const ListSelections& selections);
// nullopt unless the value has exactly three parts. A part that is not a number is error 13
// "Type mismatch", one beyond the 32-bit range error 6, as the platform's conversion gives.
std::optional<ListSelections> parseDangSel(std::u16string_view value);

std::optional<DangValue> readDang(const SettingsStore& store);
void writeDang(SettingsStore& store, const ProjectSettings& project,
               const std::vector<std::u16string>& currentUse);
std::optional<ListSelections> readDangSel(const SettingsStore& store);
void writeDangSel(SettingsStore& store, const ListSelections& selections);

}  // namespace kvm
