#include "ui/DpiSlider.h"

#include <QGridLayout>
#include <QLabel>

#include "ui/LightSlider.h"

namespace quillora::ui {

DpiSlider::DpiSlider(QWidget* parent)
    : QWidget(parent),
      slider_(new LightSlider(this)),
      minimumLabel_(new QLabel(this)),
      maximumLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("dpiSlider"));
    slider_->setObjectName(QStringLiteral("dpiLightSlider"));
    minimumLabel_->setObjectName(QStringLiteral("dpiMinimumLabel"));
    maximumLabel_->setObjectName(QStringLiteral("dpiMaximumLabel"));
    maximumLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    slider_->SetPositions(0, 520);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 0, 0, 1, 2);
    layout->addWidget(minimumLabel_, 1, 0);
    layout->addWidget(maximumLabel_, 1, 1);
    connect(slider_, &LightSlider::moved, this, &DpiSlider::moved);
    connect(slider_, &LightSlider::released, this, &DpiSlider::released);
}

void DpiSlider::SetPositionCount(int lastPosition) {
    slider_->SetPositions(0, lastPosition);
}
int DpiSlider::PositionCount() const {
    return slider_->maximum();
}

void DpiSlider::SetStepMode(int step) {
    if (step >= 1) {
        slider_->setSingleStep(step);
        slider_->setPageStep(step * 10);
    }
}
int DpiSlider::StepMode() const {
    return slider_->singleStep();
}

void DpiSlider::SetEndCaptions(const QString& minimum, const QString& maximum) {
    minimumLabel_->setText(minimum);
    maximumLabel_->setText(maximum);
}
QString DpiSlider::MinimumCaption() const {
    return minimumLabel_->text();
}
QString DpiSlider::MaximumCaption() const {
    return maximumLabel_->text();
}

void DpiSlider::SetPosition(int position) {
    slider_->SetPosition(position);
}
int DpiSlider::Position() const {
    return slider_->Position();
}

}  // namespace quillora::ui
