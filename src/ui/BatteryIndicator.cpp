#include "ui/BatteryIndicator.h"

#include <QPainter>
#include <algorithm>

#include "ui/SkinImages.h"

namespace quillora::ui {

BatteryIndicator::BatteryIndicator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("batteryIndicator"));
    UpdateToolTip();
}

void BatteryIndicator::SetImages(const SkinImages& skin) {
    background_ = skin.Pixmap(QStringLiteral("icon/icon_battery_bkg.png"));
    value_ = skin.Pixmap(QStringLiteral("icon/icon_batteryvalue.png"));
    valueLow_ = skin.Pixmap(QStringLiteral("icon/icon_batteryvalue_low.png"));
    charge_ = skin.Pixmap(QStringLiteral("icon/icon_charge.png"));
    updateGeometry();
    update();
}

void BatteryIndicator::SetLevel(int level) {
    level = std::clamp(level, 0, 100);
    if (level != level_) {
        level_ = level;
        UpdateToolTip();
        update();
    }
}

void BatteryIndicator::SetCharging(bool charging) {
    if (charging != charging_) {
        charging_ = charging;
        UpdateToolTip();
        update();
    }
}

bool BatteryIndicator::IsLow() const {
    return !charging_ && level_ <= kLowBatteryLevel;
}

void BatteryIndicator::UpdateToolTip() {
    setToolTip(QString::number(level_) + QLatin1Char('%'));
    setAccessibleName(toolTip());
}

QSize BatteryIndicator::sizeHint() const {
    if (!background_.isNull()) {
        return background_.deviceIndependentSize().toSize();
    }
    return {34, 16};
}

void BatteryIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!background_.isNull() && !value_.isNull()) {
        const QSizeF size = background_.deviceIndependentSize();
        const QPointF origin((width() - size.width()) / 2, (height() - size.height()) / 2);
        painter.drawPixmap(origin, background_);
        const QPixmap& value = IsLow() && !valueLow_.isNull() ? valueLow_ : value_;
        const qreal shown = value.width() * level_ / 100.0;
        painter.drawPixmap(QPointF(origin.x() + 3, origin.y() + 3), value,
                           QRectF(0, 0, shown, value.height()));
        if (charging_ && !charge_.isNull()) {
            painter.drawPixmap(origin, charge_);
        }
        return;
    }
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    const QRectF body = area.adjusted(0, 0, -3, 0);
    painter.setPen(QPen(QColor(0xe8, 0xea, 0xed), 1.2));
    painter.drawRoundedRect(body, 2, 2);
    painter.fillRect(QRectF(body.right(), body.center().y() - 3, 3, 6), QColor(0xe8, 0xea, 0xed));
    QRectF fill = body.adjusted(2, 2, -2, -2);
    fill.setWidth(fill.width() * level_ / 100.0);
    painter.fillRect(fill, IsLow() ? QColor(0xff, 0xb2, 0x3e) : QColor(0x22, 0xcc, 0xe2));
    if (charging_) {
        QPolygonF bolt;
        const QPointF c = area.center();
        bolt << c + QPointF(1, -6) << c + QPointF(-4, 1) << c + QPointF(0, 1) << c + QPointF(-1, 6)
             << c + QPointF(4, -1) << c + QPointF(0, -1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xe8, 0xea, 0xed));
        painter.drawPolygon(bolt);
    }
}

}  // namespace quillora::ui
