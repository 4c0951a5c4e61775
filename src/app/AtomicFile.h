#pragma once

// Replacing a small file so that a crash leaves either the old or the new content,
// never a mix: write a temporary file in the same folder, sync it, rename it over the
// target and sync the folder.

#include <string>
#include <string_view>

namespace quillora {

bool WriteFileAtomically(const std::string& path, std::string_view content);

// Reads a whole regular file; false when it cannot be opened or is not a regular file.
bool ReadRegularFile(const std::string& path, std::string& content);

}  // namespace quillora
