#pragma once

// The macro editor's event list: one row per recorded event, with its text (a key
// name, a mouse button, a delay), its type and value as the store keeps them, and its
// time stamp in milliseconds. The text of a row can be edited in place (a delay is
// typed over); the editor's rules decide what an edit means.

#include <QTableWidget>
#include <optional>

namespace quillora::ui {

struct EventRow {
    QString text;
    int type = 0;
    int value = 0;
    int timeStamp = 0;
    bool operator==(const EventRow&) const = default;
};

class EventListView : public QTableWidget {
    Q_OBJECT

  public:
    explicit EventListView(QWidget* parent = nullptr);

    void SetColumnTitles(const QString& eventTitle, const QString& timeTitle);

    int AddRow(const EventRow& row);
    // `at` from 0 to Count(); out of range appends. Returns the row's index.
    int InsertRow(int at, const EventRow& row);
    bool DeleteRow(int index);
    void Clear();
    int Count() const { return rowCount(); }
    int CountOfType(int type) const;

    std::optional<EventRow> Row(int index) const;
    bool SetRow(int index, const EventRow& row);

    bool Swap(int first, int second);
    bool MoveToTop(int index);
    bool MoveToBottom(int index);

    // -1 clears the selection.
    void Select(int index);
    int SelectedRow() const;
    // Opens the in-place editor on a row's text.
    void EditText(int index);

  signals:
    void rowTextEdited(int index, const QString& text);

  private:
    void WriteRow(int index, const EventRow& row);
    bool writing_ = false;
};

}  // namespace quillora::ui
