#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "model/flashing.h"

namespace kvm::workshop::web {

// The database the server's bills start from, as `kavelmor bill` chooses it.
struct DatabaseChoice {
  bool builtin = false;
  std::string file;  // empty: the user's database, or the built-in one while there is none
};

// The database's libraries as the bills read them.
LibraryTable databaseTable(const DatabaseChoice& choice);

// A stored library's or flashing's name as the listing gives it: without the line break or
// blanks some stored names end in. "library:flashing" of two such names is a flashing's id.
std::string listedName(const std::u16string& name);

// The libraries and flashings a layer can be mapped to, with what a detailer picks them by
// (colour, developed width, longest piece, overlap, the profile as a picture), the calculation
// modes in words, and which database file this is.
nlohmann::ordered_json databaseListing(const DatabaseChoice& choice);

// The profile at full size as an SVG picture, y upwards, the marker star where there is one;
// empty for a flashing without a profile.
std::string profileSvg(const Flashing& flashing);

}  // namespace kvm::workshop::web
