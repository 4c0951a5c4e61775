#include "update/UpdateTasks.h"

#include <memory>

#include "app/Trace.h"
#include "app/Utf8.h"
#include "device/DeviceTask.h"
#include "update/ApplicationUpdate.h"
#include "update/FirmwareUpdate.h"
#include "update/HidUpgradeChannel.h"
#include "update/Versions.h"

namespace quillora {
namespace {

std::u16string Text(const UpdateConfig& config, int number) {
    return config.text ? config.text(number) : std::u16string();
}

const char* VerdictName(VersionVerdict verdict) {
    switch (verdict) {
        case VersionVerdict::Newer:
            return "newer";
        case VersionVerdict::NotNewer:
            return "not newer";
        case VersionVerdict::NotCompared:
            return "not compared";
        case VersionVerdict::NoAnswer:
            break;
    }
    return "no answer";
}

}  // namespace

VersionCheck CheckAppVersion(DeviceContext& context, const UpdateConfig& config) {
    context.session.Update([](DeviceState& s) { s.newestAppVersion.clear(); });
    VersionCheck check = QueryAppVersion(config.updateAddress, config.runningVersion, config.http);
    Trace(TraceLevel::Info, "CheckAppVersion: running %s, server %s (%s, fetch %d)",
          config.runningVersion.c_str(), check.newest.c_str(), VerdictName(check.verdict),
          static_cast<int>(check.fetch));
    if (check.verdict != VersionVerdict::Newer && check.verdict != VersionVerdict::NotNewer) {
        return check;
    }
    const bool newer = check.verdict == VersionVerdict::Newer;
    const std::u16string newest = FromUtf8(check.newest);
    context.session.Update([&](DeviceState& s) {
        s.newestAppVersion = newest;
        s.appUpdateState = newer ? 1 : 2;
        s.appUpdateViaWebsite = newer && config.packageManaged;
    });
    if (newer) {
        context.view.SetAppUpdateStatus(
            AppVersionLabel(Text(config, kTextNewVersion), check.newest), true);
        context.view.PostVersionNotice(VersionNotice::Application);
    } else {
        context.view.SetAppUpdateStatus(Text(config, kTextNoNewVersion), false);
    }
    return check;
}

VersionCheck CheckFirmwareVersion(DeviceContext& context, const UpdateConfig& config) {
    const std::string address =
        ToUtf8(context.description.Update([](DeviceDescription& d) { return d.firmwareUrl; }));
    const std::string mouseVersion = ToUtf8(context.session.Update([](DeviceState& s) {
        s.newestFirmwareVersion.clear();
        return s.firmwareVersion;
    }));
    VersionCheck check = QueryFirmwareVersion(address, mouseVersion, config.http);
    Trace(TraceLevel::Info, "CheckFirmwareVersion: mouse %s, server %s (%s, fetch %d)",
          mouseVersion.c_str(), check.newest.c_str(), VerdictName(check.verdict),
          static_cast<int>(check.fetch));
    if (check.newest.empty()) {
        return check;
    }
    const std::u16string newest = FromUtf8(check.newest);
    const bool compared =
        check.verdict == VersionVerdict::Newer || check.verdict == VersionVerdict::NotNewer;
    const bool newer = check.verdict == VersionVerdict::Newer;
    context.session.Update([&](DeviceState& s) {
        s.newestFirmwareVersion = newest;
        if (compared) {
            s.firmwareUpdateState = newer ? 1 : 2;
        }
    });
    if (!compared) {
        return check;
    }
    if (newer) {
        context.view.SetFirmwareUpdateStatus(
            FirmwareVersionLabel(Text(config, kTextNewVersion), check.newest), true);
        context.view.PostVersionNotice(VersionNotice::Firmware);
    } else {
        context.view.SetFirmwareUpdateStatus(Text(config, kTextNoNewVersion), false);
    }
    return check;
}

std::function<void()> FirmwareCheckAfterRead(DeviceContext& context, UpdateConfig config) {
    auto shared = std::make_shared<const UpdateConfig>(std::move(config));
    return [&context, shared] { CheckFirmwareVersion(context, *shared); };
}

bool UpdateApplication(DeviceContext& context, const UpdateConfig& config) {
    MainView& view = context.view;
    if (config.packageManaged) {
        // The files belong to the package manager; an installer would fight it.
        Trace(TraceLevel::Warning, "UpdateApplication: installed by the package manager");
        view.PostDownloadProgress(kDownloadFailed);
        return false;
    }
    const std::string version =
        ToUtf8(context.session.Update([](DeviceState& s) { return s.newestAppVersion; }));
    const std::string installer = DownloadAppInstaller(
        config.updateAddress, version, context.dataFolder,
        [&view](int percent) { view.PostDownloadProgress(percent); }, config.http);
    if (installer.empty()) {
        Trace(TraceLevel::Warning, "UpdateApplication: no installer for version %s",
              version.c_str());
        view.PostDownloadProgress(kDownloadFailed);
        return false;
    }
    if (!StartInstaller(installer)) {
        view.PostDownloadProgress(kDownloadFailed);
        return false;
    }
    view.EndProgram(0);
    return true;
}

FirmwareUpgradeResult UpgradeFirmware(DeviceContext& context, const UpdateConfig& config) {
    MainView& view = context.view;
    const UpgradeProgress steps = [&view](int percent, int text) {
        view.ShowUpgradeProgress(percent, text);
    };
    const std::string address =
        ToUtf8(context.description.Update([](DeviceDescription& d) { return d.firmwareUrl; }));
    const std::string version =
        ToUtf8(context.session.Update([](DeviceState& s) { return s.newestFirmwareVersion; }));

    std::optional<FirmwareImage> image = DownloadFirmwareImage(
        address, version, context.dataFolder, steps,
        [&view](int percent) { view.PostDownloadProgress(percent); }, config.http);
    if (!image) {
        Trace(TraceLevel::Warning, "UpgradeFirmware: no image for version %s", version.c_str());
        return FirmwareUpgradeResult::NotDownloaded;
    }

    HidUpgradeChannel channel(context.link);
    const bool opened = channel.Open();
    Clock& clock = context.clock;
    const FirmwareWrite written =
        FinishFirmwareUpgrade(*image, channel.Sender(), steps,
                              [&clock](std::chrono::milliseconds pause) { clock.SleepFor(pause); });
    Trace(TraceLevel::Info, "UpgradeFirmware: %zu bytes of version %s, result %d",
          image->bytes.size(), version.c_str(), static_cast<int>(written));
    switch (written) {
        case FirmwareWrite::Written:
            return FirmwareUpgradeResult::Written;
        case FirmwareWrite::TransferFailed:
            return FirmwareUpgradeResult::TransferFailed;
        case FirmwareWrite::StartFailed:
            return opened ? FirmwareUpgradeResult::StartFailed
                          : FirmwareUpgradeResult::NoUpgradeInterface;
        case FirmwareWrite::ImageRefused:
            break;
    }
    return FirmwareUpgradeResult::NotDownloaded;
}

bool RegisterUpdateTasks(DeviceWorker& worker, DeviceContext& context, UpdateConfig config) {
    auto shared = std::make_shared<const UpdateConfig>(std::move(config));
    DeviceContext* ctx = &context;
    bool ok = worker.RegisterTask(kTaskCheckAppVersion,
                                  [ctx, shared] { CheckAppVersion(*ctx, *shared); });
    ok = worker.RegisterTask(kTaskCheckFirmwareVersion, [ctx, shared] {
        CheckFirmwareVersion(*ctx, *shared);
    }) && ok;
    ok = worker.RegisterTask(kTaskUpdateApplication, [ctx, shared] {
        UpdateApplication(*ctx, *shared);
    }) && ok;
    ok = worker.RegisterTask(kTaskUpgradeFirmware, [ctx, shared] {
        UpgradeFirmware(*ctx, *shared);
        // The last step stays readable a moment before the
        // window goes, and the mouse restarts in peace.
        ctx->clock.SleepFor(std::chrono::milliseconds(100));
        ctx->view.CloseUpgradeProgress();
        ctx->clock.SleepFor(std::chrono::milliseconds(100));
    }) && ok;
    return ok;
}

}  // namespace quillora
