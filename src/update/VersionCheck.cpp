#include "update/VersionCheck.h"

#include "update/UpdateNames.h"
#include "update/Versions.h"

namespace quillora {
namespace {

VersionCheck Query(const std::string& url, std::string_view running, std::size_t maxLength,
                   bool needRunning, const HttpOptions& options) {
    VersionCheck check;
    FetchedText answer = FetchUrlText(url, options);
    check.fetch = answer.result;
    if (answer.result != HttpResult::Ok) {
        return check;
    }
    std::optional<std::string> newest = AcceptVersionText(answer.text, maxLength);
    if (!newest) {
        return check;
    }
    check.newest = std::move(*newest);
    if (needRunning && running.empty()) {
        check.verdict = VersionVerdict::NotCompared;
    } else {
        check.verdict = CompareVersions(running, check.newest) >= 1 ? VersionVerdict::Newer
                                                                    : VersionVerdict::NotNewer;
    }
    return check;
}

}  // namespace

VersionCheck QueryAppVersion(std::string_view address, std::string_view running,
                             const HttpOptions& options) {
    return Query(AppVersionUrl(address), running, kAppVersionMaxLength, false, options);
}

VersionCheck QueryFirmwareVersion(std::string_view address, std::string_view mouseVersion,
                                  const HttpOptions& options) {
    return Query(FirmwareVersionUrl(address), mouseVersion, kFirmwareVersionMaxLength, true,
                 options);
}

}  // namespace quillora
