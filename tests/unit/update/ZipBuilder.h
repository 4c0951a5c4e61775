#pragma once

// Builds zip archives for the tests with minizip's writer.

#include <zip.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace quillora::testing {

struct ZipEntry {
    std::string name;
    std::string data;
    int method = Z_DEFLATED;  // or 0 for stored
    unsigned unixMode = 0;    // when set, the entry is marked as made on Unix with this mode
};

inline bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) {
        return false;
    }
    bool ok = true;
    for (const ZipEntry& e : entries) {
        zip_fileinfo info{};
        uLong madeBy = 0;
        if (e.unixMode != 0) {
            info.external_fa = static_cast<uLong>(e.unixMode) << 16;
            madeBy = (3u << 8) | 20u;
        }
        ok = ok &&
             zipOpenNewFileInZip4(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                  e.method, e.method == 0 ? 0 : Z_DEFAULT_COMPRESSION, 0,
                                  -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, madeBy,
                                  0) == ZIP_OK &&
             zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())) ==
                 ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace quillora::testing
