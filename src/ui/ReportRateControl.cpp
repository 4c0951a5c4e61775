#include "ui/ReportRateControl.h"

namespace quillora::ui {

ReportRateControl::ReportRateControl(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("rateComboBox"));
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) {
            emit rateChosen(itemData(index).toInt());
        }
    });
}

void ReportRateControl::AddRate(const QString& caption, int value) {
    addItem(caption, value);
}

bool ReportRateControl::SelectValue(int value) {
    const int index = findData(value);
    if (index < 0) {
        return false;
    }
    setCurrentIndex(index);
    return true;
}

std::optional<int> ReportRateControl::SelectedValue() const {
    if (currentIndex() < 0) {
        return std::nullopt;
    }
    return currentData().toInt();
}

}  // namespace quillora::ui
