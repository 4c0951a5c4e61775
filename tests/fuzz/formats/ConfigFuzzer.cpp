// Feeds arbitrary bytes to every reader of config.xml and the device descriptions, as if
// they were the file on disk. The readers must never crash, hang or read out of bounds,
// and a description that does not load must leave the state it was given untouched.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/AppConfig.h"
#include "formats/DeviceDescription.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        std::string pattern = "/tmp/quillora-config-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        return pattern;
    }();
    return path;
}

void Write(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillora;
    Write(data, size);
    const std::string& path = ScratchFile();

    const StartupConfig startup = ReadStartupConfig(path);
    if (!startup.loaded && (startup.hasLanguages || !startup.languages.empty()))
        std::abort();
    const CatalogConfig catalog = ReadCatalogConfig(path, u"device/");
    if (!catalog.loaded && !catalog.catalog.models.empty())
        std::abort();
    for (const CatalogIdentity& identity : catalog.catalog.identities) {
        if (catalog.catalog.FindModel(identity.model.deviceType) == nullptr)
            std::abort();
    }

    DeviceDescription state;
    state.firmwareUrl = u"before";
    state.buttons.resize(2);
    if (!LoadDeviceDescription(path, state)) {
        if (state.firmwareUrl != u"before" || state.buttons.size() != 2)
            std::abort();
    }
    const SettingValues all = ReadDescriptionDefaults(path, false);
    const SettingValues dpi = ReadDescriptionDefaults(path, true);
    if (dpi.size() > all.size())
        std::abort();
    ReadReportRateDefault(path);
    return 0;
}
