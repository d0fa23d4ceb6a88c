#include "storage/database_check.h"

#include <algorithm>
#include <set>

#include "base/codepage.h"
#include "base/text.h"
#include "storage/attribute_rules.h"

namespace kvm {
namespace {

constexpr std::size_t kMaxNameBytes = 20;
constexpr std::size_t kMaxColorBytes = 6;

std::string named(std::string_view what, std::size_t index, const std::u16string& name) {
  return std::string(what) + " " + std::to_string(index + 1) + " \"" + toUtf8(name) + "\"";
}

void checkFlashing(const Flashing& f, const std::string& where, std::vector<std::string>& notes) {
  if (f.Name.empty()) {
    notes.push_back(where + ": no name");
  } else if (gbkByteLength(f.Name) > kMaxNameBytes) {
    notes.push_back(where + ": name longer than 20 bytes");
  }
  if (f.Color.empty() || gbkByteLength(f.Color) > kMaxColorBytes) {
    notes.push_back(where + ": colour empty or longer than 6 bytes");
  }
  if (f.SegmentLengths.isAllocated() &&
      (!f.SegmentAngles.isAllocated() || f.SegmentAngles.size() < f.SegmentLengths.size())) {
    notes.push_back(where + ": fewer SegmentAngles than SegmentLengths; its preview stops short");
  }
  for (const DimensionMark& mark : f.DimensionMarks) {
    if (mark.Kind != kLinearDimension && mark.Kind != kAngularDimension) {
      notes.push_back(where + ": a dimension mark of kind " + std::to_string(mark.Kind));
      break;
    }
  }
}

}  // namespace

DatabaseCheck checkDatabase(std::string_view bytes) {
  DatabaseCheck check;
  check.bytes = bytes.size();
  LibraryRecords records;
  try {
    records = readLibraryRecords(bytes, kMaxLibraries);
  } catch (const DatabaseFormatError& error) {
    check.error = error;
    return check;
  }
  check.records = records.libraries.size();
  const LibraryTable table = readLibraryTable(bytes.substr(0, records.bytesRead));
  check.libraries = table.size();
  check.faults = attributeFaults(table);
  std::vector<std::string>& notes = check.notes;

  if (records.bytesRead < bytes.size()) {
    notes.push_back(std::to_string(bytes.size() - records.bytesRead) +
                    " bytes after the 26th library are never read");
  }
  if (check.records == 0) {
    notes.push_back("no library at all: a load gives an empty table");
  } else if (std::all_of(records.libraries.begin(), records.libraries.end(),
                         [](const FlashingLibrary& l) { return l.Name.empty(); })) {
    notes.push_back("no library has a name: a load shows 26 empty rows");
  } else if (check.libraries < check.records) {
    notes.push_back(std::to_string(check.records - check.libraries) +
                    " nameless libraries at the end are dropped by a load");
  }

  std::set<std::u16string> libraryNames;
  for (std::size_t i = 0; i < check.records; ++i) {
    const FlashingLibrary& library = records.libraries[i];
    const std::string where = named("library", i, library.Name);
    if (!library.Name.empty() && !libraryNames.insert(library.Name).second) {
      notes.push_back(where + ": the name is used twice");
    }
    if (i < check.libraries) {
      check.flashings += library.Flashings.size();
    }
    if (library.Flashings.size() > kMaxFlashingsPerLibrary) {
      notes.push_back(where + ": more than 26 flashings");
    }
    std::set<std::u16string> flashingNames;
    for (std::size_t k = 0; k < library.Flashings.size(); ++k) {
      const Flashing& f = library.Flashings[k];
      const std::string flashingWhere = where + ", " + named("flashing", k, f.Name);
      if (!f.Name.empty() && !flashingNames.insert(f.Name).second) {
        notes.push_back(flashingWhere + ": the name is used twice");
      }
      checkFlashing(f, flashingWhere, notes);
    }
  }
  return check;
}

}  // namespace kvm
