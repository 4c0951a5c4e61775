#pragma once

// The DPI levels of the mouse, up to kMaxDpiLevels side by side: each with its colour
// swatch, its value in an edit field and a select button. One level is selected (the
// mouse's active level). The control only shows and reports; rounding and bounding a
// typed value is the DPI page's rule.

#include <QColor>
#include <QWidget>
#include <optional>
#include <vector>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace quillora::ui {

class ColourButton;

inline constexpr int kMaxDpiLevels = 6;

class DpiLevelControl : public QWidget {
    Q_OBJECT

  public:
    struct Level {
        int value = 0;
        QColor colour;
    };

    explicit DpiLevelControl(QWidget* parent = nullptr);

    // The new level's index, or -1 when kMaxDpiLevels are already shown.
    int AddLevel(int value, const QColor& colour);
    void Clear();
    int Count() const { return int(levels_.size()); }

    std::optional<Level> LevelAt(int index) const;
    bool SetLevel(int index, int value, const QColor& colour);
    bool SetValue(int index, int value);
    bool SetColour(int index, const QColor& colour);
    // The edit field's text as the user left it.
    QString EditedText(int index) const;

    // -1 clears the selection; an index out of range is ignored.
    void Select(int index);
    int Selected() const { return selected_; }

  signals:
    void levelClicked(int index);                      // select button
    void levelEdited(int index, const QString& text);  // edit committed
    void colourClicked(int index);                     // swatch: open the palette

  private:
    struct Row {
        QWidget* box;
        QPushButton* select;
        ColourButton* swatch;
        QLineEdit* edit;
        Level level;
    };
    void UpdateSelection();

    std::vector<Row> levels_;
    int selected_ = -1;
    QHBoxLayout* layout_;
};

}  // namespace quillora::ui
