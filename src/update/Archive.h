#pragma once

// Unpacking a downloaded zip archive into a folder.

#include <cstdint>
#include <string>

namespace quillora {

struct ExtractOptions {
    // Most bytes all entries may unpack to together; a larger archive fails.
    std::uint64_t maxTotalBytes = std::uint64_t{1} << 30;
};

// Unpacks every entry of the zip archive into folder, which must exist; folders inside
// the archive are created, existing files of the same name replaced. Nothing is written
// outside the folder: before anything is unpacked the whole archive is checked, and an
// entry with an absolute path, a ".." component, a symbolic link or encryption refuses
// it. Unpacking never follows a symbolic link already in the folder. False when the
// archive cannot be opened, is refused, or an entry is corrupt or truncated (its check
// value or size do not match); files unpacked before such a fault are removed again.
bool ExtractArchive(const std::string& archivePath, const std::string& folder,
                    const ExtractOptions& options = {});

}  // namespace quillora
