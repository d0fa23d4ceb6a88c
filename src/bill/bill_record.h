#pragma once

#include <string>

#include "model/flashing.h"
#include "ui/ui.h"

namespace kvm {

// The separators of the bill record, by their character codes.
namespace bill_separator {
inline constexpr char16_t kField = u'\x01';
inline constexpr char16_t kEntry = u'\x02';
inline constexpr char16_t kSection = u'\x03';
inline constexpr char16_t kItem = u'\x04';
inline constexpr char16_t kRecord = u'\x05';
}  // namespace bill_separator

// The system's short date with "." between its parts: 2016.3.2.
std::u16string billDate(const CalendarDate& date);

// The header fields after the "list" marker: project name, plate thickness ("0.###"), length
// class step, text height and date, joined by the field separator.
std::u16string billHeader(const std::u16string& projectName, double plateThickness,
                          const std::u16string& lengthClassStep, const std::u16string& textHeight,
                          const CalendarDate& date);

// The flashing a current-use item names: the first library of that name, exactly, with a
// flashings array, and in it the first flashing of that name. Nothing when either is missing.
const Flashing* findBillFlashing(const LibraryTable& libraries, std::u16string_view library,
                                 std::u16string_view flashing);

// Appends one flashing entry. A flashing with a profile but without its angle, text-mark or
// dimension-mark array fails with error 9, as reading the missing array does.
void appendBillEntry(std::u16string& record, const Flashing& flashing);

}  // namespace kvm
