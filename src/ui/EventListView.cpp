#include "ui/EventListView.h"

#include <QHeaderView>

namespace quillora::ui {
namespace {

constexpr int kTypeRole = Qt::UserRole;
constexpr int kValueRole = Qt::UserRole + 1;
constexpr int kTimeRole = Qt::UserRole + 2;

}  // namespace

EventListView::EventListView(QWidget* parent) : QTableWidget(0, 2, parent) {
    setObjectName(QStringLiteral("eventListView"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!writing_ && item->column() == 0) {
            emit rowTextEdited(item->row(), item->text());
        }
    });
}

void EventListView::SetColumnTitles(const QString& eventTitle, const QString& timeTitle) {
    setHorizontalHeaderLabels({eventTitle, timeTitle});
}

void EventListView::WriteRow(int index, const EventRow& row) {
    writing_ = true;
    auto* text = new QTableWidgetItem(row.text);
    text->setData(kTypeRole, row.type);
    text->setData(kValueRole, row.value);
    text->setData(kTimeRole, row.timeStamp);
    auto* time = new QTableWidgetItem(QString::number(row.timeStamp));
    time->setFlags(time->flags() & ~Qt::ItemIsEditable);
    time->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setItem(index, 0, text);
    setItem(index, 1, time);
    writing_ = false;
}

int EventListView::AddRow(const EventRow& row) {
    return InsertRow(Count(), row);
}

int EventListView::InsertRow(int at, const EventRow& row) {
    if (at < 0 || at > Count()) {
        at = Count();
    }
    insertRow(at);
    WriteRow(at, row);
    return at;
}

bool EventListView::DeleteRow(int index) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    removeRow(index);
    return true;
}

void EventListView::Clear() {
    setRowCount(0);
}

int EventListView::CountOfType(int type) const {
    int count = 0;
    for (int i = 0; i < Count(); ++i) {
        count += item(i, 0)->data(kTypeRole).toInt() == type ? 1 : 0;
    }
    return count;
}

std::optional<EventRow> EventListView::Row(int index) const {
    if (index < 0 || index >= Count()) {
        return std::nullopt;
    }
    const QTableWidgetItem* text = item(index, 0);
    return EventRow{text->text(), text->data(kTypeRole).toInt(), text->data(kValueRole).toInt(),
                    text->data(kTimeRole).toInt()};
}

bool EventListView::SetRow(int index, const EventRow& row) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    WriteRow(index, row);
    return true;
}

bool EventListView::Swap(int first, int second) {
    auto a = Row(first);
    auto b = Row(second);
    if (!a || !b) {
        return false;
    }
    const int selected = SelectedRow();
    WriteRow(first, *b);
    WriteRow(second, *a);
    // The selection follows the row the user had chosen.
    if (selected == first) {
        Select(second);
    } else if (selected == second) {
        Select(first);
    }
    return true;
}

bool EventListView::MoveToTop(int index) {
    auto row = Row(index);
    if (!row) {
        return false;
    }
    removeRow(index);
    InsertRow(0, *row);
    Select(0);
    return true;
}

bool EventListView::MoveToBottom(int index) {
    auto row = Row(index);
    if (!row) {
        return false;
    }
    removeRow(index);
    const int at = AddRow(*row);
    Select(at);
    return true;
}

void EventListView::Select(int index) {
    if (index < 0 || index >= Count()) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    selectRow(index);
}

int EventListView::SelectedRow() const {
    const QList<QTableWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : items.first()->row();
}

void EventListView::EditText(int index) {
    if (index >= 0 && index < Count()) {
        editItem(item(index, 0));
    }
}

}  // namespace quillora::ui
