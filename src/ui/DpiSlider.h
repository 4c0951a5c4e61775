#pragma once

// The DPI slider: positions 0 to the sensor's last position, a step mode (the number
// of positions one key or wheel step moves), and the captions of its two ends, which
// the sensor gives ("100" and "26000"). The DPI of a position is the DPI page's rule.

#include <QWidget>

class QLabel;

namespace quillora::ui {

class LightSlider;

class DpiSlider : public QWidget {
    Q_OBJECT

  public:
    explicit DpiSlider(QWidget* parent = nullptr);

    void SetPositionCount(int lastPosition);
    int PositionCount() const;
    // 1 or more; anything else leaves the step mode as it is.
    void SetStepMode(int step);
    int StepMode() const;
    void SetEndCaptions(const QString& minimum, const QString& maximum);
    QString MinimumCaption() const;
    QString MaximumCaption() const;

    void SetPosition(int position);  // no signal
    int Position() const;

    LightSlider* Slider() const { return slider_; }

  signals:
    void moved(int position);
    void released(int position);

  private:
    LightSlider* slider_;
    QLabel* minimumLabel_;
    QLabel* maximumLabel_;
};

}  // namespace quillora::ui
