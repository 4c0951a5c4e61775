// Unpacks mutated zip archives into a fresh folder per run and checks that nothing
// appeared beside that folder and that no symbolic link was made inside it.

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "update/Archive.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Base() {
    static const fs::path base = [] {
        std::string pattern = (fs::temp_directory_path() / "archive-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return fs::path(pattern);
    }();
    return base;
}

void Fail(const char* what, const fs::path& path) {
    std::fprintf(stderr, "archive_fuzzer: %s: %s\n", what, path.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path run = Base() / "run";
    std::error_code ec;
    fs::remove_all(run, ec);
    fs::create_directories(run / "out");
    {
        std::ofstream archive(run / "a.zip", std::ios::binary);
        archive.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    quillora::ExtractOptions options;
    options.maxTotalBytes = 16 * 1024 * 1024;
    quillora::ExtractArchive((run / "a.zip").string(), (run / "out").string(), options);

    for (const auto& entry : fs::directory_iterator(Base())) {
        if (entry.path() != run) {
            Fail("written beside the run folder", entry.path());
        }
    }
    for (const auto& entry : fs::directory_iterator(run)) {
        if (entry.path().filename() != "a.zip" && entry.path().filename() != "out") {
            Fail("written outside the target folder", entry.path());
        }
    }
    for (auto it = fs::recursive_directory_iterator(run / "out"); it != fs::end(it); ++it) {
        if (it->is_symlink()) {
            Fail("symbolic link made", it->path());
        }
    }
    fs::remove_all(run, ec);
    return 0;
}
