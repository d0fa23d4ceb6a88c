#include "storage/stored_settings.h"

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {
namespace {

constexpr char16_t kFieldSeparator = u'\x01';
constexpr std::size_t kProjectFields = 4;
constexpr std::size_t kSelectionParts = 3;

int32_t selectionNumber(std::u16string_view text) {
  const std::optional<double> value = parseNumber(text);
  if (!value) {
    raise(err::kTypeMismatch);
  }
  return toLongRounded(*value);
}

}  // namespace

std::u16string formatDang(const ProjectSettings& project,
                          const std::vector<std::u16string>& currentUse) {
  std::u16string value = project.ProjectName;
  for (const std::u16string* field :
       {&project.PlateThickness, &project.LengthClassStep, &project.TextHeight}) {
    value.push_back(kFieldSeparator);
    value += *field;
  }
  for (const std::u16string& row : currentUse) {
    value.push_back(kFieldSeparator);
    value += row;
  }
  return value;
}

std::optional<DangValue> parseDang(std::u16string_view value) {
  std::vector<std::u16string> parts = split(value, std::u16string_view(&kFieldSeparator, 1));
  if (parts.size() < kProjectFields) {
    return std::nullopt;
  }
  DangValue dang;
  dang.project = ProjectSettings{std::move(parts[0]), std::move(parts[1]), std::move(parts[2]),
                                 std::move(parts[3])};
  dang.currentUse.assign(std::make_move_iterator(parts.begin() + kProjectFields),
                         std::make_move_iterator(parts.end()));
  return dang;
}

std::u16string formatDangSel(const ListSelections& selections) {
  return decimal(selections.currentUseRow) + u"," + decimal(selections.libraryRow) + u"," +
         decimal(selections.flashingRow);
}

std::optional<ListSelections> parseDangSel(std::u16string_view value) {
  const std::vector<std::u16string> parts = split(value, u",");
  if (parts.size() != kSelectionParts) {
    return std::nullopt;
  }
  return ListSelections{selectionNumber(parts[0]), selectionNumber(parts[1]),
                        selectionNumber(parts[2])};
}

std::optional<DangValue> readDang(const SettingsStore& store) {
  return parseDang(store.get(kDangKey, u""));
}

void writeDang(SettingsStore& store, const ProjectSettings& project,
               const std::vector<std::u16string>& currentUse) {
  store.save(kDangKey, formatDang(project, currentUse));
}

std::optional<ListSelections> readDangSel(const SettingsStore& store) {
  return parseDangSel(store.get(kDangSelKey, u""));
}

void writeDangSel(SettingsStore& store, const ListSelections& selections) {
  store.save(kDangSelKey, formatDangSel(selections));
}

}  // namespace kvm
