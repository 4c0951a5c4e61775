#include "ui/ColourButton.h"

#include <QPainter>

namespace quillora::ui {

ColourButton::ColourButton(QWidget* parent) : ColourButton(Qt::white, QString(), parent) {}

ColourButton::ColourButton(const QColor& colour, const QString& groupName, QWidget* parent)
    : QAbstractButton(parent), colour_(colour), groupName_(groupName) {
    setObjectName(QStringLiteral("colourButton"));
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked) {
            UncheckOthersOfGroup();
        }
    });
    connect(this, &QAbstractButton::clicked, this, [this] { emit colourChosen(colour_); });
}

void ColourButton::SetColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void ColourButton::UncheckOthersOfGroup() {
    if (groupName_.isEmpty()) {
        return;
    }
    for (ColourButton* other : window()->findChildren<ColourButton*>()) {
        if (other != this && other->groupName_ == groupName_ && other->isChecked()) {
            other->setChecked(false);
        }
    }
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (isChecked()) {
        painter.setPen(QPen(QColor(255, 255, 255), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(outer, 4, 4);
    }
    painter.setPen(QPen(QColor(80, 80, 80), 1));
    painter.setBrush(isEnabled() ? colour_ : colour_.darker(250));
    painter.drawRoundedRect(outer.adjusted(3, 3, -3, -3), 3, 3);
}

}  // namespace quillora::ui
