#pragma once

// A MainView that writes each call as one line ("SetPanelText 52"), so tests assert
// on what the worker showed and in which order. Safe to call from any thread.

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "app/Utf8.h"

namespace quillora::testing {

class RecordingMainView : public MainView {
  public:
    std::vector<std::string> Calls() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return calls_;
    }
    void Clear() {
        std::lock_guard<std::mutex> guard(mutex_);
        calls_.clear();
    }
    // Whether a call with exactly this text was made.
    bool Has(const std::string& call) const {
        std::lock_guard<std::mutex> guard(mutex_);
        for (const std::string& c : calls_) {
            if (c == call)
                return true;
        }
        return false;
    }
    // Waits (bounded) until a call with this text has been made.
    bool WaitFor(const std::string& call, int seconds = 10) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(seconds), [&] {
            for (const std::string& c : calls_) {
                if (c == call)
                    return true;
            }
            return false;
        });
    }

    void SetAllTilesOffline() override { Add("SetAllTilesOffline"); }
    void SetTileState(int type, int kind, int online) override {
        Add("SetTileState " + N(type) + " " + N(kind) + " " + N(online));
    }
    void SetTileVersion(int type, const std::u16string& version) override {
        Add("SetTileVersion " + N(type) + " " + ToUtf8(version));
    }
    void SetTileBattery(int type, int a, int b) override {
        Add("SetTileBattery " + N(type) + " " + N(a) + " " + N(b));
    }
    void SelectTile(int type) override { Add("SelectTile " + N(type)); }
    void ShowLayout(DeviceLayout layout) override {
        static const char* names[] = {"NoDevice", "DeviceList", "Connected", "DevicePages"};
        Add(std::string("ShowLayout ") + names[static_cast<int>(layout)]);
    }
    void SetPanelText(int text) override { Add("SetPanelText " + N(text)); }
    void SetBattery(int a, int b) override { Add("SetBattery " + N(a) + " " + N(b)); }
    void LeaveSettingsPage() override { Add("LeaveSettingsPage"); }
    void CloseTransientWindows() override { Add("CloseTransientWindows"); }
    void DescriptionLoaded() override { Add("DescriptionLoaded"); }
    void RefreshPages(unsigned pages) override { Add("RefreshPages " + N(int(pages))); }
    void ConfigureDpiSlider(int positions, int step, const std::u16string& min,
                            const std::u16string& max) override {
        Add("ConfigureDpiSlider " + N(positions) + " " + N(step) + " " + ToUtf8(min) + " " +
            ToUtf8(max));
    }
    void ShowDpiLevelCount(int count) override { Add("ShowDpiLevelCount " + N(count)); }
    void SelectDpiLevel(int level, int position) override {
        Add("SelectDpiLevel " + N(level) + " " + N(position));
    }
    void ShowDpiNotice(int dpi) override { Add("ShowDpiNotice " + N(dpi)); }
    void SetAppUpdateStatus(const std::u16string& label, bool enabled) override {
        Add("SetAppUpdateStatus " + ToUtf8(label) + " " + N(enabled));
    }
    void SetFirmwareUpdateStatus(const std::u16string& label, bool enabled) override {
        Add("SetFirmwareUpdateStatus " + ToUtf8(label) + " " + N(enabled));
    }
    void PostVersionNotice(VersionNotice kind) override {
        Add("PostVersionNotice " + N(static_cast<int>(kind)));
    }
    void PostDownloadProgress(int percent) override { Add("PostDownloadProgress " + N(percent)); }
    void ShowUpgradeProgress(int percent, int text) override {
        Add("ShowUpgradeProgress " + N(percent) + " " + N(text));
    }
    void CloseUpgradeProgress() override { Add("CloseUpgradeProgress"); }
    void EndProgram(int code) override { Add("EndProgram " + N(code)); }

  private:
    static std::string N(int value) { return std::to_string(value); }
    void Add(std::string call) {
        std::lock_guard<std::mutex> guard(mutex_);
        calls_.push_back(std::move(call));
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls_;
};

}  // namespace quillora::testing
