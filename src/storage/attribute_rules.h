#pragma once

#include <string>
#include <vector>

#include "model/flashing.h"

namespace kvm {

// Every value of the table that the settings dialog would not save, and every profile number
// that is not a finite size, one line per flashing and field with the allowed range (UTF-8):
// "library 1 "彩钢板屋面", flashing 1 "屋脊包角": MaxCutLength -7: must be 300 to 10000 mm".
// Bills made from such values are nonsense (negative pieces, endless loops of cuts).
std::vector<std::string> attributeFaults(const LibraryTable& table);

}  // namespace kvm
