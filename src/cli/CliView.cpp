#include "cli/CliView.h"

#include "app/Utf8.h"
#include "cli/Json.h"

namespace quillora::cli {

void CliView::SetEventPrinter(EventPrinter printer) {
    std::lock_guard<std::mutex> guard(mutex_);
    printer_ = std::move(printer);
}

std::map<int, CliView::Tile> CliView::Tiles() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return tiles_;
}

int CliView::SelectedTile() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return selected_;
}

void CliView::Event(const std::string& text, const std::string& json) {
    EventPrinter printer;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        printer = printer_;
    }
    if (printer)
        printer(text, json);
}

void CliView::SetAllTilesOffline() {
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto& [type, tile] : tiles_)
        tile.online = 0;
}

void CliView::SetTileState(int deviceType, int linkKind, int online) {
    bool changed;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        Tile& tile = tiles_[deviceType];
        changed = tile.online != online || tile.linkKind != linkKind;
        tile.linkKind = linkKind;
        tile.online = online;
    }
    if (changed) {
        const std::string state = online != 0 ? "online" : "offline";
        const std::string link = linkKind == 1 ? "receiver" : "cable";
        Event("connection " + std::to_string(deviceType) + " " + state + " (" + link + ")",
              JsonObject()
                  .Add("event", "connection")
                  .Add("device_type", deviceType)
                  .Add("online", online != 0)
                  .Add("link", link)
                  .ToString());
    }
}

void CliView::SetTileVersion(int deviceType, const std::u16string& version) {
    std::lock_guard<std::mutex> guard(mutex_);
    tiles_[deviceType].version = version;
}

void CliView::SetTileBattery(int deviceType, int first, int second) {
    std::lock_guard<std::mutex> guard(mutex_);
    tiles_[deviceType].batteryA = first;
    tiles_[deviceType].batteryB = second;
}

void CliView::SelectTile(int deviceType) {
    std::lock_guard<std::mutex> guard(mutex_);
    selected_ = deviceType;
}

void CliView::SetBattery(int first, int second) {
    Event(
        "battery " + std::to_string(first) + " " + std::to_string(second),
        JsonObject().Add("event", "battery").Add("first", first).Add("second", second).ToString());
}

void CliView::ShowDpiLevelCount(int count) {
    Event("dpi levels " + std::to_string(count),
          JsonObject().Add("event", "dpi_count").Add("count", count).ToString());
}

void CliView::SelectDpiLevel(int level, int) {
    Event("dpi level " + std::to_string(level),
          JsonObject().Add("event", "dpi_level").Add("level", level).ToString());
}

}  // namespace quillora::cli
