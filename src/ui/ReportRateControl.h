#pragma once

// The report-rate choice: items with a caption ("1000Hz") and the value the mouse
// takes for it, chosen by value.

#include <QComboBox>
#include <optional>

namespace quillora::ui {

class ReportRateControl : public QComboBox {
    Q_OBJECT

  public:
    explicit ReportRateControl(QWidget* parent = nullptr);

    void AddRate(const QString& caption, int value);
    void ClearRates() { clear(); }
    // False (and the selection unchanged) when no item has the value.
    bool SelectValue(int value);
    std::optional<int> SelectedValue() const;

  signals:
    // The user picked an item (not emitted for SelectValue).
    void rateChosen(int value);
};

}  // namespace quillora::ui
