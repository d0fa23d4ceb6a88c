#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The platform's file calls, one source per platform. Each throws std::system_error with the
// system's reason as a portable condition (std::errc); callers add the file's name.
namespace kvm::disk {

// A file open for writing as the platform knows it: a descriptor, a handle.
using NativeFile = std::intptr_t;
inline constexpr NativeFile kNoFile = -1;

std::string readWholeFile(const std::filesystem::path& file);

// Creates the file, or empties it when it is there.
NativeFile createFile(const std::filesystem::path& file);
// All of the bytes, or an error.
void writeToFile(NativeFile file, std::string_view bytes);
// Returns once the written bytes are on the disk.
void syncFile(NativeFile file);
// Closing can report a late write failure; the file is closed either way.
void closeFile(NativeFile file);
// Closing where a failure has nothing left to spoil.
void abandonFile(NativeFile file) noexcept;

// Renames a file over another one in one step (the place then holds the old file or the new
// one, whole), or a folder to a name not in use. Never across file systems.
void moveEntry(const std::filesystem::path& from, const std::filesystem::path& to);
// Makes the renames inside the folder durable, where the platform needs that.
void syncFolder(const std::filesystem::path& folder) noexcept;

}  // namespace kvm::disk
