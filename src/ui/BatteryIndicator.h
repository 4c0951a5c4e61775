#pragma once

// The battery level of a wireless mouse, 0 to 100 %, with a charging mark. It paints the
// skin's images when given them: the outline "icon/icon_battery_bkg.png", the charge
// "icon/icon_batteryvalue.png" (or "icon/icon_batteryvalue_low.png" when low) at (3, 3)
// inside it, cut to the level, and "icon/icon_charge.png" over it while charging;
// without them a plain outline. A low level is drawn in the warning colour.

#include <QPixmap>
#include <QWidget>

namespace quillora::ui {

class SkinImages;

// At this level and below the battery shows as low.
inline constexpr int kLowBatteryLevel = 20;

class BatteryIndicator : public QWidget {
    Q_OBJECT

  public:
    explicit BatteryIndicator(QWidget* parent = nullptr);

    void SetImages(const SkinImages& skin);
    // Levels outside 0..100 are bounded.
    void SetLevel(int level);
    int Level() const { return level_; }
    void SetCharging(bool charging);
    bool Charging() const { return charging_; }
    // At or below kLowBatteryLevel and not charging.
    bool IsLow() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void UpdateToolTip();

    int level_ = 0;
    bool charging_ = false;
    QPixmap background_;
    QPixmap value_;
    QPixmap valueLow_;
    QPixmap charge_;
};

}  // namespace quillora::ui
