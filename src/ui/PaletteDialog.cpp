#include "ui/PaletteDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace quillora::ui {
namespace {

struct NextAnswer {
    bool set = false;
    std::optional<QColor> colour;
};
NextAnswer& PendingAnswer() {
    static NextAnswer answer;
    return answer;
}

}  // namespace

PaletteDialog::PaletteDialog(const QColor& initial, QWidget* parent)
    : QDialog(parent), picker_(new QColorDialog(initial, this)) {
    setObjectName(QStringLiteral("paletteDialog"));
    setModal(true);
    // The picker lives inside our window instead of being a window of its own.
    picker_->setWindowFlags(Qt::Widget);
    picker_->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    picker_->setObjectName(QStringLiteral("paletteColorDialog"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("paletteButtonBox"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picker_);
    layout->addWidget(buttons);
}

QColor PaletteDialog::Colour() const {
    return picker_->currentColor();
}
void PaletteDialog::SetColour(const QColor& colour) {
    picker_->setCurrentColor(colour);
}

std::optional<QColor> PaletteDialog::ChooseColour(QWidget* parent, const QColor& initial,
                                                  const QString& title) {
    NextAnswer& pending = PendingAnswer();
    if (pending.set) {
        pending.set = false;
        return pending.colour;
    }
    PaletteDialog dialog(initial, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Colour();
}

void PaletteDialog::SetNextAnswer(std::optional<QColor> answer) {
    PendingAnswer() = NextAnswer{true, answer};
}

}  // namespace quillora::ui
