#include "app/SettingsRegistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>
#include <vector>

#include "app/AtomicFile.h"
#include "app/Decimal.h"
#include "app/Folders.h"
#include "app/Trace.h"

namespace quillora {
namespace {

constexpr const char* kFileName = "settings.reg";
constexpr const char* kLockName = "settings.lock";

struct Entry {
    std::string name;
    std::string value;
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// A value name or text may not carry a line break or, for names, '='; either would
// change the file's structure.
bool Storable(std::string_view name, std::string_view text) {
    if (name.empty() || name.find_first_of("=\n\r") != std::string_view::npos) {
        return false;
    }
    return text.find_first_of("\n\r") == std::string_view::npos &&
           text.find('\0') == std::string_view::npos;
}

std::vector<Entry> ParseEntries(const std::string& content) {
    std::vector<Entry> entries;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find('\n', pos);
        if (end == std::string::npos)
            end = content.size();
        const std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            continue;
        }
        entries.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    return entries;
}

// Holds the folder's advisory lock for the lifetime of the object.
class FolderLock {
  public:
    explicit FolderLock(const std::string& folder) {
        fd_ = ::open((folder + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_ = -1;
};

}  // namespace

SettingsRegistry::SettingsRegistry(std::string folder)
    : folder_(WithTrailingSlash(std::move(folder))), path_(folder_ + kFileName) {}

SettingsRegistry::Read SettingsRegistry::ReadValue(std::string_view name, Missing missing) {
    std::lock_guard<std::mutex> guard(mutex_);
    Read result;
    std::string content;
    if (!ReadRegularFile(path_, content)) {
        const bool absent = ::access(path_.c_str(), F_OK) != 0 && errno == ENOENT;
        if (!absent || missing == Missing::Fail) {
            result.failed = true;  // unreadable, or something else stands in its place
            return result;
        }
        // First read: create the key and report the value as absent.
        if (!CreateFolder(folder_)) {
            result.failed = true;
            return result;
        }
        const int created = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (created < 0 && errno != EEXIST) {
            result.failed = true;
            return result;
        }
        if (created >= 0) {
            ::close(created);
        }
        result.opened = true;
        return result;
    }
    result.opened = true;
    for (const Entry& e : ParseEntries(content)) {
        if (SameName(e.name, name)) {
            result.value = e.value;
            break;
        }
    }
    return result;
}

int SettingsRegistry::ReadLanguage() {
    const Read r = ReadValue("LCID", Missing::Create);
    if (r.failed) {
        return 2052;
    }
    return r.value ? DecimalToInt(*r.value) : 0;
}

int SettingsRegistry::ReadDeviceType() {
    const Read r = ReadValue("DeviceType", Missing::Fail);
    return r.value ? DecimalToInt(*r.value) : 0;
}

int SettingsRegistry::ReadInt(std::string_view name) {
    const Read r = ReadValue(name, Missing::Create);
    return r.value ? DecimalToInt(*r.value) : 0;
}

bool SettingsRegistry::WriteLanguage(int language) {
    return WriteString("LCID", std::to_string(language));
}

bool SettingsRegistry::WriteDeviceType(int deviceType) {
    return WriteString("DeviceType", std::to_string(deviceType));
}

bool SettingsRegistry::WriteString(std::string_view name, std::string_view text) {
    if (!Storable(name, text)) {
        Trace(TraceLevel::Warning, "settings: refused value '%.*s'", static_cast<int>(name.size()),
              name.data());
        return false;
    }
    std::lock_guard<std::mutex> guard(mutex_);
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;  // writes only open the key; they never create it
    }
    FolderLock lock(folder_);
    std::string content;
    if (!ReadRegularFile(path_, content)) {
        return false;
    }
    std::vector<Entry> entries = ParseEntries(content);
    bool replaced = false;
    for (Entry& e : entries) {
        if (SameName(e.name, name)) {
            e.value = std::string(text);
            replaced = true;
            break;
        }
    }
    if (!replaced) {
        entries.push_back({std::string(name), std::string(text)});
    }
    std::string out;
    for (const Entry& e : entries) {
        out += e.name + "=" + e.value + "\n";
    }
    return WriteFileAtomically(path_, out);
}

}  // namespace quillora
