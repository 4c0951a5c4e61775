#include "update/Archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "app/Trace.h"

namespace quillora {
namespace {

// Host system code of the "version made by" field whose attributes carry a Unix mode.
constexpr unsigned kUnixHost = 3;

struct ZipCloser {
    unzFile zip;
    ~ZipCloser() { unzClose(zip); }
};

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(Fd&& o) noexcept : fd(o.fd) { o.fd = -1; }
    Fd& operator=(Fd&& o) noexcept {
        std::swap(fd, o.fd);
        return *this;
    }
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

struct Entry {
    std::vector<std::string> parts;  // plain path components inside the folder
    bool directory = false;
};

// Splits an entry name into components, accepting '/' and '\' (archives made on
// Windows use both). False for names that could leave the folder.
bool ParseName(std::string_view name, Entry* entry) {
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        name.find('\0') != std::string_view::npos) {
        return false;
    }
    entry->directory = name.back() == '/' || name.back() == '\\';
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        std::string_view part = name.substr(start, end - start);
        if (part == "..") {
            return false;
        }
        if (!part.empty() && part != ".") {
            entry->parts.emplace_back(part);
        }
        start = end + 1;
    }
    return !entry->parts.empty() || entry->directory;
}

bool IsSymlink(const unz_file_info64& info) {
    return (info.version >> 8) == kUnixHost && S_ISLNK((info.external_fa >> 16) & 0xFFFF);
}

// Opens (creating when missing) the folder of `parts[0..count)` below `base`, refusing
// to pass through anything that is not a real folder.
Fd OpenFolder(int base, const std::vector<std::string>& parts, size_t count) {
    Fd current(::fcntl(base, F_DUPFD_CLOEXEC, 0));
    for (size_t i = 0; i < count && current.fd >= 0; ++i) {
        const char* name = parts[i].c_str();
        if (::mkdirat(current.fd, name, 0755) != 0 && errno != EEXIST) {
            return Fd();
        }
        current = Fd(::openat(current.fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return current;
}

std::string Describe(const Entry& entry) {
    std::string path;
    for (const std::string& p : entry.parts) {
        path += (path.empty() ? "" : "/") + p;
    }
    return path;
}

class Extractor {
  public:
    Extractor(unzFile zip, int folder, std::string folderPath, const ExtractOptions& options)
        : zip_(zip), folder_(folder), options_(options), folderPath_(std::move(folderPath)) {
        if (folderPath_.empty() || folderPath_.back() != '/') {
            folderPath_ += '/';
        }
    }

    // Reads the central directory and refuses the archive when any entry is unsafe.
    bool Check() {
        unz_global_info64 global;
        if (unzGetGlobalInfo64(zip_, &global) != UNZ_OK) {
            return false;
        }
        if (global.number_entry == 0) {
            empty_ = true;
            return true;
        }
        int rc = unzGoToFirstFile(zip_);
        while (rc == UNZ_OK) {
            unz_file_info64 info;
            std::string name;
            if (!CurrentInfo(&info, &name)) {
                return false;
            }
            Entry entry;
            if (!ParseName(name, &entry)) {
                Trace(TraceLevel::Warning, "archive: refused entry name \"%s\"", name.c_str());
                return false;
            }
            if (IsSymlink(info) || (info.flag & 1) != 0) {
                Trace(TraceLevel::Warning, "archive: refused link or encrypted entry \"%s\"",
                      name.c_str());
                return false;
            }
            rc = unzGoToNextFile(zip_);
        }
        return rc == UNZ_END_OF_LIST_OF_FILE;
    }

    bool ExtractAll() {
        if (empty_) {
            return true;
        }
        int rc = unzGoToFirstFile(zip_);
        while (rc == UNZ_OK) {
            if (!ExtractCurrent()) {
                RemoveCreated();
                return false;
            }
            rc = unzGoToNextFile(zip_);
        }
        if (rc != UNZ_END_OF_LIST_OF_FILE) {
            RemoveCreated();
            return false;
        }
        return true;
    }

  private:
    bool CurrentInfo(unz_file_info64* info, std::string* name) {
        if (unzGetCurrentFileInfo64(zip_, info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            return false;
        }
        name->assign(info->size_filename, '\0');
        return unzGetCurrentFileInfo64(zip_, info, name->data(), info->size_filename, nullptr, 0,
                                       nullptr, 0) == UNZ_OK;
    }

    bool ExtractCurrent() {
        unz_file_info64 info;
        std::string name;
        Entry entry;
        if (!CurrentInfo(&info, &name) || !ParseName(name, &entry)) {
            return false;
        }
        if (entry.directory) {
            return OpenFolder(folder_, entry.parts, entry.parts.size()).fd >= 0;
        }
        Fd dir = OpenFolder(folder_, entry.parts, entry.parts.size() - 1);
        if (dir.fd < 0) {
            Trace(TraceLevel::Warning, "archive: cannot make the folder of %s",
                  Describe(entry).c_str());
            return false;
        }
        const char* leaf = entry.parts.back().c_str();
        // A new file in place of the old one: a link left at that name is removed, not
        // followed.
        if (::unlinkat(dir.fd, leaf, 0) != 0 && errno != ENOENT) {
            return false;
        }
        Fd out(::openat(dir.fd, leaf, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (out.fd < 0) {
            return false;
        }
        created_.push_back(folderPath_ + Describe(entry));

        if (unzOpenCurrentFile(zip_) != UNZ_OK) {
            return false;
        }
        std::uint64_t written = 0;
        bool ok = true;
        std::vector<char> buffer(64 * 1024);
        for (;;) {
            int n = unzReadCurrentFile(zip_, buffer.data(), static_cast<unsigned>(buffer.size()));
            if (n == 0) {
                break;
            }
            if (n < 0 || written + static_cast<unsigned>(n) > info.uncompressed_size ||
                total_ + static_cast<unsigned>(n) > options_.maxTotalBytes) {
                ok = false;
                break;
            }
            if (!WriteAll(out.fd, buffer.data(), static_cast<size_t>(n))) {
                ok = false;
                break;
            }
            written += static_cast<unsigned>(n);
            total_ += static_cast<unsigned>(n);
        }
        // The check value is only compared once the whole entry was read, so a short
        // entry is caught by its size.
        int closed = unzCloseCurrentFile(zip_);
        if (!ok || closed != UNZ_OK || written != info.uncompressed_size) {
            Trace(TraceLevel::Warning, "archive: entry %s is corrupt", Describe(entry).c_str());
            return false;
        }
        return true;
    }

    static bool WriteAll(int fd, const char* data, size_t size) {
        while (size > 0) {
            ssize_t n = ::write(fd, data, size);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    void RemoveCreated() {
        for (const std::string& path : created_) {
            ::unlink(path.c_str());
        }
        created_.clear();
    }

    unzFile zip_;
    int folder_;
    const ExtractOptions& options_;
    std::uint64_t total_ = 0;
    bool empty_ = false;
    std::string folderPath_;
    std::vector<std::string> created_;  // files made so far, removed again on a fault
};

}  // namespace

bool ExtractArchive(const std::string& archivePath, const std::string& folder,
                    const ExtractOptions& options) {
    unzFile zip = unzOpen64(archivePath.c_str());
    if (zip == nullptr) {
        Trace(TraceLevel::Warning, "archive: cannot open %s", archivePath.c_str());
        return false;
    }
    ZipCloser closer{zip};
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0) {
        return false;
    }
    Extractor extractor(zip, dir.fd, folder, options);
    return extractor.Check() && extractor.ExtractAll();
}

}  // namespace quillora
