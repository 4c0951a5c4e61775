#include "app/Folders.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "app/Utf8.h"

namespace quillora {
namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// An XDG base directory: the variable when it holds an absolute path, else the
// fallback under $HOME, else empty.
std::string XdgBase(const char* variable, const char* homeRelative) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + homeRelative;
    }
    return {};
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string WithTrailingSlash(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path.push_back('/');
    }
    return path;
}

std::string ExecutableFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return "./";
    }
    return WithTrailingSlash(exe.parent_path().string());
}

std::string ApplicationFolderFor(const std::string& executableFolder) {
    std::string folder = WithTrailingSlash(executableFolder);
    if (IsFile(folder + "config.xml")) {
        return folder;
    }
    return folder + "../share/quillora/";
}

std::string ApplicationFolder(const FolderOverrides& overrides) {
    if (!overrides.applicationFolder.empty()) {
        return WithTrailingSlash(overrides.applicationFolder);
    }
    return ApplicationFolderFor(ExecutableFolder());
}

std::string ApplicationDataFolder(std::u16string_view productKeyName,
                                  const FolderOverrides& overrides) {
    if (!overrides.dataFolder.empty()) {
        return WithTrailingSlash(overrides.dataFolder);
    }
    return XdgBase("XDG_DATA_HOME", "/.local/share") + "/" + ToUtf8(productKeyName) + " Files/";
}

std::string ConfigFolder(std::u16string_view productKeyName, const FolderOverrides& overrides) {
    if (!overrides.configFolder.empty()) {
        return WithTrailingSlash(overrides.configFolder);
    }
    return XdgBase("XDG_CONFIG_HOME", "/.config") + "/" + ToUtf8(productKeyName) + "/";
}

std::string DatabaseFolder(const std::string& dataFolder) {
    return dataFolder + "db";
}

std::string DownloadFolder(const std::string& dataFolder) {
    return dataFolder + "/temp/";
}

std::string SkinFolder(const std::string& applicationFolder, const std::string& theme) {
    return applicationFolder + "skins/" + theme;
}

std::string DeviceImageFolder(const std::string& skinFolder) {
    return skinFolder + "device/";
}

bool CreateFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (IsFolder(path)) {
        return true;
    }
    // Make every parent first, ignoring failures (a parent may exist or be made by
    // someone else meanwhile); only the last creation decides.
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && prefix.back() != '/') {
            ::mkdir(prefix.c_str(), 0755);
        }
    }
    const std::string whole = StripTrailingSlashes(path);
    if (::mkdir(whole.c_str(), 0755) == 0) {
        return true;
    }
    // Already there is success only when what is there is a folder.
    return errno == EEXIST && IsFolder(whole);
}

}  // namespace quillora
