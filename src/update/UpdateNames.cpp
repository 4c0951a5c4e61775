#include "update/UpdateNames.h"

namespace quillora {
namespace {

std::string Join(std::string_view a, std::string_view b, std::string_view c = {}) {
    std::string out;
    out.reserve(a.size() + b.size() + c.size());
    out += a;
    out += b;
    out += c;
    return out;
}

}  // namespace

std::string AppVersionUrl(std::string_view address) {
    return Join(address, "version");
}

std::string AppArchiveName(std::string_view version) {
    return Join("Mouse-Setup-", version, ".zip");
}

std::string AppArchiveUrl(std::string_view address, std::string_view archiveName) {
    return Join(address, "//", archiveName);
}

std::string AppInstallerName(std::string_view version) {
    return Join("Mouse-Setup-", version, ".run");
}

std::string FirmwareVersionUrl(std::string_view address) {
    return Join(address, "/mouse/version");
}

std::string FirmwareArchiveName(std::string_view version) {
    return Join("firmware-", version, ".zip");
}

std::string FirmwareArchiveUrl(std::string_view address, std::string_view archiveName) {
    return Join(address, "//mouse//", archiveName);
}

std::string FirmwareImageName(std::string_view version) {
    return Join("firmware     -", version, ".bin");
}

std::string DownloadedFile(std::string_view downloadFolder, std::string_view fileName) {
    if (fileName.empty() || fileName == "." || fileName == ".." ||
        fileName.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return {};
    }
    return Join(downloadFolder, fileName);
}

}  // namespace quillora
