#include "ui/MacroListView.h"

namespace quillora::ui {
namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;  // the last accepted name

}  // namespace

MacroListView::MacroListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("macroListView"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (writing_) {
            return;
        }
        const QString name = item->text().trimmed();
        writing_ = true;
        if (name.isEmpty()) {
            item->setText(item->data(kNameRole).toString());
            writing_ = false;
            return;
        }
        const bool changed = name != item->data(kNameRole).toString();
        item->setText(name);
        item->setData(kNameRole, name);
        writing_ = false;
        if (changed) {
            emit macroRenamed(row(item), item->data(kDataRole).toInt(), name);
        }
    });
    connect(this, &QListWidget::currentRowChanged, this, [this](int index) {
        if (!writing_ && index >= 0) {
            emit macroSelected(index, DataAt(index));
        }
    });
}

int MacroListView::AddMacro(const QString& name, int data) {
    writing_ = true;
    auto* item = new QListWidgetItem(name, this);
    item->setData(kDataRole, data);
    item->setData(kNameRole, name);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    writing_ = false;
    return count() - 1;
}

bool MacroListView::DeleteMacro(int index) {
    if (index < 0 || index >= count()) {
        return false;
    }
    delete takeItem(index);
    return true;
}

bool MacroListView::Rename(int index, const QString& name) {
    QListWidgetItem* found = item(index);
    if (found == nullptr) {
        return false;
    }
    writing_ = true;
    found->setText(name);
    found->setData(kNameRole, name);
    writing_ = false;
    return true;
}

int MacroListView::DataAt(int index) const {
    const QListWidgetItem* found = item(index);
    return found != nullptr ? found->data(kDataRole).toInt() : -1;
}

QString MacroListView::NameAt(int index) const {
    const QListWidgetItem* found = item(index);
    return found != nullptr ? found->text() : QString();
}

int MacroListView::IndexOfData(int data) const {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(kDataRole).toInt() == data) {
            return i;
        }
    }
    return -1;
}

void MacroListView::Select(int index) {
    writing_ = true;
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
    } else {
        setCurrentRow(index);
    }
    writing_ = false;
}

int MacroListView::SelectedIndex() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : row(items.first());
}

void MacroListView::BeginRename(int index) {
    if (QListWidgetItem* found = item(index)) {
        editItem(found);
    }
}

}  // namespace quillora::ui
