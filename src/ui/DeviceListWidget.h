#pragma once

// The home page's device list: one tile per catalogued model, with its picture, name,
// link state, battery and firmware version. A click selects a tile, a double click
// (or Enter on the selected tile) opens the device. Which devices are listed and what
// their states are is the discovery's business; the list only shows it.

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QHBoxLayout;
class QLabel;

namespace quillora::ui {

class BatteryIndicator;
class SkinImages;

class DeviceListWidget : public QWidget {
    Q_OBJECT

  public:
    explicit DeviceListWidget(QWidget* parent = nullptr);
    ~DeviceListWidget() override;

    // Texts of the tiles' state lines (online by cable, online through the receiver,
    // offline) and the caption before each version.
    void SetTexts(const QString& cableText, const QString& wirelessText, const QString& offlineText,
                  const QString& versionCaption);
    // The battery and link-mode images of every tile ("device_mode.png").
    void SetImages(const SkinImages& skin);

    // Adds a tile; `data` is the caller's number for it (the device type). Returns its index.
    int AddDevice(const QString& name, int data, const QPixmap& image);
    void Clear();
    int Count() const { return int(tiles_.size()); }
    int DataAt(int index) const;  // -1 out of range
    QString NameAt(int index) const;

    // -1 clears the selection; an index out of range is ignored.
    void Select(int index);
    int SelectedIndex() const { return selected_; }

    // Setters ignore an index out of range.
    void SetOnline(int index, bool online);
    bool IsOnline(int index) const;
    int OnlineCount() const;
    // A level below 0 hides the battery (a cabled mouse has none to show).
    void SetBattery(int index, int level, bool charging);
    int BatteryLevel(int index) const;  // -1 when hidden or out of range
    void SetVersion(int index, const QString& version);
    QString VersionText(int index) const;  // the tile's version line as shown
    // The link-mode mark: cable or wireless receiver.
    void SetWireless(int index, bool wireless);

  signals:
    void selectionChanged(int index);
    void deviceActivated(int index);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Tile;
    void Refresh(Tile& tile);
    void TilePressed(int index);

    std::vector<std::unique_ptr<Tile>> tiles_;  // the widgets belong to the frames
    int selected_ = -1;
    QString cableText_;
    QString wirelessText_;
    QString offlineText_;
    QString versionCaption_;
    QPixmap modeImage_;
    const SkinImages* skin_ = nullptr;
    QHBoxLayout* layout_;
};

}  // namespace quillora::ui
