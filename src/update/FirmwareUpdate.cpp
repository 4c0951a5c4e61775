#include "update/FirmwareUpdate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/Folders.h"
#include "app/Trace.h"
#include "update/Archive.h"
#include "update/UpdateNames.h"
#include "update/Versions.h"

namespace quillora {
namespace {

void Step(const UpgradeProgress& steps, int percent, int text) {
    if (steps) {
        steps(percent, text);
    }
}

// Reads a regular file of 1 to kMaxFirmwareImageSize bytes.
std::optional<std::vector<std::uint8_t>> ReadImage(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<std::uint64_t>(st.st_size) <= kMaxFirmwareImageSize) {
        std::vector<std::uint8_t> data(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < data.size()) {
            ssize_t n = ::read(fd, data.data() + got, data.size() - got);
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        if (got == data.size()) {
            bytes = std::move(data);
        }
    } else if (st.st_size > 0) {
        Trace(TraceLevel::Warning, "firmware: image %s refused (%lld bytes)", path.c_str(),
              static_cast<long long>(st.st_size));
    }
    ::close(fd);
    return bytes;
}

}  // namespace

std::optional<FirmwareImage> DownloadFirmwareImage(
    std::string_view address, std::string_view version, const std::string& dataFolder,
    const UpgradeProgress& steps, const DownloadProgress& download, const HttpOptions& options) {
    Step(steps, 5, kTextUpgradeDownloading);
    // The folder is emptied below, so it must be the data folder's, never a guess.
    if (!IsVersionText(version, kFirmwareVersionMaxLength) || dataFolder.empty() ||
        dataFolder.front() != '/') {
        return std::nullopt;
    }
    const std::string folder = DownloadFolder(dataFolder);
    const std::string archiveName = FirmwareArchiveName(version);
    const std::string archive = DownloadedFile(folder, archiveName);
    const std::string imagePath = DownloadedFile(folder, FirmwareImageName(version));

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (!CreateFolder(folder)) {
        return std::nullopt;
    }

    HttpOptions bounded = options;
    if (bounded.maxBytes == 0) {
        bounded.maxBytes = kMaxFirmwareArchiveBytes;
    }
    DownloadFile(FirmwareArchiveUrl(address, archiveName), archive, download, bounded);
    struct stat st;
    if (::lstat(archive.c_str(), &st) != 0) {
        return std::nullopt;
    }
    Step(steps, 7, kTextUpgradePreparing);
    ExtractOptions extract;
    extract.maxTotalBytes = 16 * 1024 * 1024;
    if (ExtractArchive(archive, folder, extract)) {
        ::unlink(archive.c_str());
    }

    std::optional<std::vector<std::uint8_t>> bytes = ReadImage(imagePath);
    if (!bytes) {
        ::unlink(imagePath.c_str());
        return std::nullopt;
    }
    Step(steps, 10, kTextUpgradePreparing);
    return FirmwareImage{imagePath, std::move(*bytes)};
}

FirmwareWrite FinishFirmwareUpgrade(const FirmwareImage& image, const UpgradeReportSender& send,
                                    const UpgradeProgress& steps, const Pause& pause) {
    FirmwareWrite result = WriteFirmwareImage(image.bytes, send, steps, pause);
    ::unlink(image.path.c_str());
    Step(steps, 100, kTextUpgradeDone);
    return result;
}

}  // namespace quillora
