#pragma once

// The macro editor's list of macros: a name and the macro's id per item. A name is
// renamed in place; an edit left empty (or only blanks) restores the old name.

#include <QListWidget>

namespace quillora::ui {

class MacroListView : public QListWidget {
    Q_OBJECT

  public:
    explicit MacroListView(QWidget* parent = nullptr);

    int AddMacro(const QString& name, int data);
    bool DeleteMacro(int index);
    // Sets the shown name without telling anyone.
    bool Rename(int index, const QString& name);
    void Clear() { clear(); }
    int Count() const { return count(); }
    int DataAt(int index) const;  // -1 out of range
    QString NameAt(int index) const;
    int IndexOfData(int data) const;  // -1 when absent

    void Select(int index);  // -1 clears; no signal
    int SelectedIndex() const;
    // Opens the in-place editor on an item's name.
    void BeginRename(int index);

  signals:
    void macroRenamed(int index, int data, const QString& name);
    void macroSelected(int index, int data);

  private:
    bool writing_ = false;
};

}  // namespace quillora::ui
