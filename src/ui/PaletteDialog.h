#pragma once

// The palette window: a modal colour choice started from a colour. Tests answer it
// in advance with SetNextAnswer, so no window opens.

#include <QColor>
#include <QDialog>
#include <optional>

class QColorDialog;

namespace quillora::ui {

class PaletteDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PaletteDialog(const QColor& initial, QWidget* parent = nullptr);

    QColor Colour() const;
    void SetColour(const QColor& colour);

    // The chosen colour, or nothing when the user cancelled.
    static std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial,
                                              const QString& title);
    // The next ChooseColour returns `answer` at once (nothing = cancelled).
    static void SetNextAnswer(std::optional<QColor> answer);

  private:
    QColorDialog* picker_;
};

}  // namespace quillora::ui
