#include "ui/LightSlider.h"

namespace quillora::ui {

LightSlider::LightSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("lightSlider"));
    setRange(0, 4);
    setPageStep(1);
    connect(this, &QSlider::valueChanged, this, [this](int position) {
        if (placing_) {
            return;
        }
        emit moved(position);
        if (!isSliderDown()) {
            emit released(position);  // a key, wheel or click on the groove: done at once
        }
    });
    connect(this, &QSlider::sliderReleased, this, [this] { emit released(value()); });
}

void LightSlider::SetPositions(int first, int last) {
    placing_ = true;
    setRange(first, last);
    placing_ = false;
}

void LightSlider::SetPosition(int position) {
    placing_ = true;
    setValue(position);
    placing_ = false;
}

}  // namespace quillora::ui
