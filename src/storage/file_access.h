#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kvm {

// Whole-file access with failures as run-time errors: 53 "File not found", 61 "Disk full",
// 70 "Permission denied", 76 "Path not found", 75 "Path/File access error" for the rest.
// The bytes reach the disk through files/disk.h, the one seam every writer shares.

std::string readWholeFile(const std::filesystem::path& file);

// Creates or truncates the file and writes the bytes; with syncToDisk the call returns only
// once the bytes are on the disk.
void writeWholeFile(const std::filesystem::path& file, std::string_view bytes, bool syncToDisk);

// Puts a complete file in the place of another in one step: afterwards the place holds the
// old file or the new one, whole. The old one may be missing; the new one must not.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes a rename inside the directory durable (where the platform needs that).
void syncDirectory(const std::filesystem::path& directory);

// Replaces the file so that it holds either its old or its new content, never a mix and
// never nothing: the bytes go to a new file beside it, which replaces the old one only once
// it is complete and on the disk. On failure the old file is left as it was.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kvm
