#pragma once

// A checkable colour swatch. Buttons that share a group name within one window are
// exclusive: checking one unchecks the others of its group ("DEFAULTCOLOR",
// "COLORVALUE" on the lighting page).

#include <QAbstractButton>
#include <QColor>

namespace quillora::ui {

class ColourButton : public QAbstractButton {
    Q_OBJECT

  public:
    explicit ColourButton(QWidget* parent = nullptr);
    ColourButton(const QColor& colour, const QString& groupName, QWidget* parent = nullptr);

    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }
    void SetGroupName(const QString& groupName) { groupName_ = groupName; }
    const QString& GroupName() const { return groupName_; }

    QSize sizeHint() const override { return {26, 26}; }

  signals:
    void colourChosen(const QColor& colour);  // clicked by the user

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void UncheckOthersOfGroup();

    QColor colour_{Qt::white};
    QString groupName_;
};

}  // namespace quillora::ui
