#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "platform/workshop/web/database_listing.h"

namespace kvm::workshop::web {

// A project file the user opened on the page, read as `kavelmor bill` reads it and its rows
// matched with the database the bills are made from: {"project": the file's JSON, each
// current-use row as {"flashing": the id the database listing gives, "mode", "layers": the
// plan's layers it takes its lines from}, "notes": what the page cannot take over}. Rows that
// give their lines as coordinates are left out, with a note: the page maps layers only.
// Throws the reader's errors (ProjectError, UnknownFlashingError), the file named as `shownName`.
nlohmann::ordered_json openProject(const std::string& text, const std::string& shownName,
                                   const DatabaseChoice& database);

}  // namespace kvm::workshop::web
