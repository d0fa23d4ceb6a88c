#pragma once

#include <optional>
#include <string_view>

namespace kvm::workshop::web {

// A file of the page, built at build time and carried inside the program.
struct PageAsset {
  std::string_view bytes;
  std::string_view mediaType;
};

// The page's file at a path of the server ("/" is the page itself); nothing for others.
std::optional<PageAsset> pageAsset(std::string_view path);

}  // namespace kvm::workshop::web
