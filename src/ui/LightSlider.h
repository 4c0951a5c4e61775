#pragma once

// A horizontal slider that tells a drag from a placement: dragging reports each
// position with moved(), letting go (or a key or wheel step) reports released(); a
// position set by the program reports nothing. The lighting page's brightness and
// speed use it directly, the DPI slider builds on it.

#include <QSlider>

namespace quillora::ui {

class LightSlider : public QSlider {
    Q_OBJECT

  public:
    explicit LightSlider(QWidget* parent = nullptr);

    // Positions from `first` to `last`; the position is bounded into the range.
    void SetPositions(int first, int last);
    // Placed by the program: no signal.
    void SetPosition(int position);
    int Position() const { return value(); }

  signals:
    void moved(int position);
    void released(int position);

  private:
    bool placing_ = false;
};

}  // namespace quillora::ui
