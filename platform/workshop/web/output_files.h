#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvm::workshop::web {

// The files a bill run left in its output folder, by the names the run's list gives them: the
// fixed names of the outputs first, then the profile pictures.
std::vector<std::string> listedOutputs(const std::filesystem::path& folder);

// The file a client asks for by name: only a name the bill's outputs have (a fixed one, or a
// profile picture "NN-NAME.png" the run listed), never a path; nothing for any other name.
std::optional<std::filesystem::path> outputFile(const std::filesystem::path& folder,
                                                std::string_view name);

// The media type a browser needs to show or save an output.
std::string_view mediaType(std::string_view name);

}  // namespace kvm::workshop::web
