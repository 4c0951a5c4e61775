#include "ui/DpiLevelControl.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ColourButton.h"

namespace quillora::ui {

DpiLevelControl::DpiLevelControl(QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)) {
    setObjectName(QStringLiteral("dpiLevelControl"));
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->addStretch();
}

int DpiLevelControl::AddLevel(int value, const QColor& colour) {
    if (Count() >= kMaxDpiLevels) {
        return -1;
    }
    const int index = Count();
    Row row{};
    row.box = new QWidget(this);
    row.box->setObjectName(QStringLiteral("dpiLevel%1Widget").arg(index));
    row.select = new QPushButton(QString::number(index + 1), row.box);
    row.select->setObjectName(QStringLiteral("dpiLevelSelectButton"));
    row.select->setCheckable(true);
    row.swatch = new ColourButton(colour, QString(), row.box);
    row.swatch->setObjectName(QStringLiteral("dpiLevelColourButton"));
    row.swatch->setCheckable(false);
    row.edit = new QLineEdit(QString::number(value), row.box);
    row.edit->setObjectName(QStringLiteral("dpiLevelLineEdit"));
    row.edit->setValidator(new QIntValidator(0, 999999, row.edit));
    row.edit->setAlignment(Qt::AlignCenter);
    row.level = Level{value, colour};

    auto* column = new QVBoxLayout(row.box);
    column->setContentsMargins(4, 0, 4, 0);
    column->addWidget(row.select);
    column->addWidget(row.swatch, 0, Qt::AlignHCenter);
    column->addWidget(row.edit);
    layout_->insertWidget(index, row.box);

    connect(row.select, &QPushButton::clicked, this, [this, index] {
        Select(index);
        emit levelClicked(index);
    });
    connect(row.swatch, &QAbstractButton::clicked, this,
            [this, index] { emit colourClicked(index); });
    connect(row.edit, &QLineEdit::editingFinished, this,
            [this, index] { emit levelEdited(index, levels_[std::size_t(index)].edit->text()); });
    levels_.push_back(row);
    UpdateSelection();
    return index;
}

void DpiLevelControl::Clear() {
    for (Row& row : levels_) {
        delete row.box;
    }
    levels_.clear();
    selected_ = -1;
}

std::optional<DpiLevelControl::Level> DpiLevelControl::LevelAt(int index) const {
    if (index < 0 || index >= Count()) {
        return std::nullopt;
    }
    return levels_[std::size_t(index)].level;
}

bool DpiLevelControl::SetLevel(int index, int value, const QColor& colour) {
    return SetValue(index, value) && SetColour(index, colour);
}

bool DpiLevelControl::SetValue(int index, int value) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    Row& row = levels_[std::size_t(index)];
    row.level.value = value;
    row.edit->setText(QString::number(value));
    return true;
}

bool DpiLevelControl::SetColour(int index, const QColor& colour) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    Row& row = levels_[std::size_t(index)];
    row.level.colour = colour;
    row.swatch->SetColour(colour);
    return true;
}

QString DpiLevelControl::EditedText(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return levels_[std::size_t(index)].edit->text();
}

void DpiLevelControl::Select(int index) {
    if (index < -1 || index >= Count()) {
        return;
    }
    selected_ = index;
    UpdateSelection();
}

void DpiLevelControl::UpdateSelection() {
    for (int i = 0; i < Count(); ++i) {
        levels_[std::size_t(i)].select->setChecked(i == selected_);
    }
}

}  // namespace quillora::ui
