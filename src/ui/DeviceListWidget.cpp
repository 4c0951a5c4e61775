#include "ui/DeviceListWidget.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <functional>

#include "ui/BatteryIndicator.h"
#include "ui/SkinImages.h"

namespace quillora::ui {
namespace {

// A tile reports presses to its list; it has no signals of its own.
class TileFrame : public QFrame {
  public:
    explicit TileFrame(QWidget* parent) : QFrame(parent) {}
    std::function<void()> pressed;
    std::function<void()> doubleClicked;

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && pressed) {
            pressed();
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && doubleClicked) {
            doubleClicked();
        }
    }
};

}  // namespace

struct DeviceListWidget::Tile {
    TileFrame* frame = nullptr;
    QLabel* picture = nullptr;
    QLabel* name = nullptr;
    QLabel* state = nullptr;
    QLabel* mode = nullptr;
    BatteryIndicator* battery = nullptr;
    QLabel* version = nullptr;
    int data = 0;
    bool online = false;
    bool wireless = false;
    int batteryLevel = -1;
    QString versionText;
};

DeviceListWidget::DeviceListWidget(QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)) {
    setObjectName(QStringLiteral("deviceListWidget"));
    setFocusPolicy(Qt::StrongFocus);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(24);
    layout_->addStretch();
    layout_->addStretch();
}

DeviceListWidget::~DeviceListWidget() = default;

void DeviceListWidget::SetTexts(const QString& cableText, const QString& wirelessText,
                                const QString& offlineText, const QString& versionCaption) {
    cableText_ = cableText;
    wirelessText_ = wirelessText;
    offlineText_ = offlineText;
    versionCaption_ = versionCaption;
    for (const auto& tile : tiles_) {
        Refresh(*tile);
    }
}

void DeviceListWidget::SetImages(const SkinImages& skin) {
    skin_ = &skin;
    modeImage_ = skin.Pixmap(QStringLiteral("device_mode.png"));
    for (const auto& tile : tiles_) {
        tile->battery->SetImages(skin);
        Refresh(*tile);
    }
}

int DeviceListWidget::AddDevice(const QString& name, int data, const QPixmap& image) {
    const int index = Count();
    auto owned = std::make_unique<Tile>();
    Tile* tile = owned.get();
    tile->data = data;
    tile->frame = new TileFrame(this);
    tile->frame->setObjectName(QStringLiteral("deviceTileFrame"));
    tile->frame->setCursor(Qt::PointingHandCursor);
    tile->frame->pressed = [this, index] { TilePressed(index); };
    tile->frame->doubleClicked = [this, index] {
        TilePressed(index);
        emit deviceActivated(index);
    };
    tile->picture = new QLabel(tile->frame);
    tile->picture->setObjectName(QStringLiteral("devicePictureLabel"));
    tile->picture->setAlignment(Qt::AlignCenter);
    tile->picture->setPixmap(image);
    tile->picture->setMinimumSize(160, 120);
    tile->name = new QLabel(name, tile->frame);
    tile->name->setObjectName(QStringLiteral("deviceNameLabel"));
    tile->name->setAlignment(Qt::AlignCenter);
    tile->name->setWordWrap(true);
    tile->state = new QLabel(tile->frame);
    tile->state->setObjectName(QStringLiteral("tileStateLabel"));
    tile->mode = new QLabel(tile->frame);
    tile->mode->setObjectName(QStringLiteral("deviceModeLabel"));
    tile->battery = new BatteryIndicator(tile->frame);
    if (skin_ != nullptr) {
        tile->battery->SetImages(*skin_);
    }
    tile->version = new QLabel(tile->frame);
    tile->version->setObjectName(QStringLiteral("deviceVersionLabel"));
    tile->version->setAlignment(Qt::AlignCenter);

    auto* stateRow = new QHBoxLayout;
    stateRow->addStretch();
    stateRow->addWidget(tile->mode);
    stateRow->addWidget(tile->state);
    stateRow->addWidget(tile->battery);
    stateRow->addStretch();
    auto* column = new QVBoxLayout(tile->frame);
    column->addWidget(tile->picture, 1);
    column->addWidget(tile->name);
    column->addLayout(stateRow);
    column->addWidget(tile->version);

    layout_->insertWidget(layout_->count() - 1, tile->frame);
    tiles_.push_back(std::move(owned));
    Refresh(*tile);
    return index;
}

void DeviceListWidget::Clear() {
    for (const auto& tile : tiles_) {
        delete tile->frame;
    }
    tiles_.clear();
    if (selected_ != -1) {
        selected_ = -1;
        emit selectionChanged(-1);
    }
}

int DeviceListWidget::DataAt(int index) const {
    return index >= 0 && index < Count() ? tiles_[std::size_t(index)]->data : -1;
}

QString DeviceListWidget::NameAt(int index) const {
    return index >= 0 && index < Count() ? tiles_[std::size_t(index)]->name->text() : QString();
}

void DeviceListWidget::Select(int index) {
    if (index < -1 || index >= Count() || index == selected_) {
        return;
    }
    selected_ = index;
    for (int i = 0; i < Count(); ++i) {
        Tile* tile = tiles_[std::size_t(i)].get();
        tile->frame->setProperty("selected", i == selected_);
        tile->frame->style()->unpolish(tile->frame);
        tile->frame->style()->polish(tile->frame);
    }
    emit selectionChanged(selected_);
}

void DeviceListWidget::TilePressed(int index) {
    setFocus(Qt::MouseFocusReason);
    Select(index);
}

void DeviceListWidget::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && selected_ >= 0) {
        emit deviceActivated(selected_);
    } else if (event->key() == Qt::Key_Left && selected_ > 0) {
        Select(selected_ - 1);
    } else if (event->key() == Qt::Key_Right && selected_ + 1 < Count()) {
        Select(selected_ + 1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void DeviceListWidget::SetOnline(int index, bool online) {
    if (index >= 0 && index < Count()) {
        tiles_[std::size_t(index)]->online = online;
        Refresh(*tiles_[std::size_t(index)]);
    }
}

bool DeviceListWidget::IsOnline(int index) const {
    return index >= 0 && index < Count() && tiles_[std::size_t(index)]->online;
}

int DeviceListWidget::OnlineCount() const {
    int count = 0;
    for (const auto& tile : tiles_) {
        count += tile->online ? 1 : 0;
    }
    return count;
}

void DeviceListWidget::SetBattery(int index, int level, bool charging) {
    if (index < 0 || index >= Count()) {
        return;
    }
    Tile& tile = *tiles_[std::size_t(index)];
    tile.batteryLevel = level < 0 ? -1 : std::min(level, 100);
    tile.battery->SetLevel(level);
    tile.battery->SetCharging(charging);
    Refresh(tile);
}

int DeviceListWidget::BatteryLevel(int index) const {
    return index >= 0 && index < Count() ? tiles_[std::size_t(index)]->batteryLevel : -1;
}

void DeviceListWidget::SetVersion(int index, const QString& version) {
    if (index >= 0 && index < Count()) {
        tiles_[std::size_t(index)]->versionText = version;
        Refresh(*tiles_[std::size_t(index)]);
    }
}

QString DeviceListWidget::VersionText(int index) const {
    return index >= 0 && index < Count() ? tiles_[std::size_t(index)]->version->text() : QString();
}

void DeviceListWidget::SetWireless(int index, bool wireless) {
    if (index >= 0 && index < Count()) {
        tiles_[std::size_t(index)]->wireless = wireless;
        Refresh(*tiles_[std::size_t(index)]);
    }
}

void DeviceListWidget::Refresh(Tile& tile) {
    tile.state->setText(!tile.online ? offlineText_ : tile.wireless ? wirelessText_ : cableText_);
    tile.frame->setProperty("online", tile.online);
    tile.battery->setVisible(tile.online && tile.batteryLevel >= 0);
    // device_mode.png: cable, wireless, cable offline, wireless offline.
    const int modeFrame = (tile.online ? 0 : 2) + (tile.wireless ? 1 : 0);
    tile.mode->setPixmap(StripFrame(modeImage_, 4, modeFrame));
    tile.mode->setVisible(!modeImage_.isNull());
    // An empty version means "not read yet": no caption without a number after it.
    tile.version->setText(tile.versionText.isEmpty()
                              ? QString()
                              : versionCaption_ + QStringLiteral(": ") + tile.versionText);
    tile.frame->style()->unpolish(tile.frame);
    tile.frame->style()->polish(tile.frame);
}

}  // namespace quillora::ui
