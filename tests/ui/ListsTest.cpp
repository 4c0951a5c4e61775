// The macro editor's two lists: row operations and in-place editing.

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "ui/EventListView.h"
#include "ui/MacroListView.h"

using namespace quillora::ui;

namespace {

EventRow Key(const char* text, int timeStamp) {
    return EventRow{text, 1, text[0], timeStamp};
}

QStringList Texts(const EventListView& list) {
    QStringList texts;
    for (int i = 0; i < list.Count(); ++i) {
        texts << list.Row(i)->text;
    }
    return texts;
}

// The in-place editor the view opened.
QLineEdit* OpenEditor(QWidget* view) {
    QLineEdit* editor = nullptr;
    [&] { QTRY_VERIFY((editor = view->findChild<QLineEdit*>()) != nullptr); }();
    return editor;
}

}  // namespace

class ListsTest : public QObject {
    Q_OBJECT

  private slots:
    void eventRowsKeepTypeValueAndTime();
    void eventRowOperations_data();
    void eventRowOperations();
    void eventOperationsRefuseBadIndexes();
    void eventSelectionFollowsMovedRow();
    void eventTextEditedInPlace();
    void macroRenameInPlace_data();
    void macroRenameInPlace();
    void macroItemsByData();
    void macroSelectionSignalsUserChoiceOnly();
};

void ListsTest::eventRowsKeepTypeValueAndTime() {
    EventListView list;
    const EventRow down{"A down", 1, 65, 0};
    const EventRow delay{"50 ms", 3, 50, 50};
    QCOMPARE(list.AddRow(down), 0);
    QCOMPARE(list.AddRow(delay), 1);
    QCOMPARE(*list.Row(0), down);
    QCOMPARE(*list.Row(1), delay);
    QCOMPARE(list.CountOfType(1), 1);
    QCOMPARE(list.CountOfType(3), 1);
    QCOMPARE(list.CountOfType(2), 0);
    QCOMPARE(list.item(1, 1)->text(), QString("50"));
    const EventRow changed{"B down", 1, 66, 10};
    QVERIFY(list.SetRow(0, changed));
    QCOMPARE(*list.Row(0), changed);
    QCOMPARE(list.Count(), 2);
}

void ListsTest::eventRowOperations_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("insert front") << "insert" << 0 << 0 << QStringList{"x", "a", "b", "c", "d"};
    QTest::newRow("insert middle") << "insert" << 2 << 0 << QStringList{"a", "b", "x", "c", "d"};
    QTest::newRow("insert end") << "insert" << 4 << 0 << QStringList{"a", "b", "c", "d", "x"};
    QTest::newRow("insert past end") << "insert" << 9 << 0 << QStringList{"a", "b", "c", "d", "x"};
    QTest::newRow("delete") << "delete" << 1 << 0 << QStringList{"a", "c", "d"};
    QTest::newRow("swap") << "swap" << 0 << 3 << QStringList{"d", "b", "c", "a"};
    QTest::newRow("swap neighbours") << "swap" << 2 << 1 << QStringList{"a", "c", "b", "d"};
    QTest::newRow("top") << "top" << 2 << 0 << QStringList{"c", "a", "b", "d"};
    QTest::newRow("top of top") << "top" << 0 << 0 << QStringList{"a", "b", "c", "d"};
    QTest::newRow("bottom") << "bottom" << 1 << 0 << QStringList{"a", "c", "d", "b"};
    QTest::newRow("clear") << "clear" << 0 << 0 << QStringList{};
}

void ListsTest::eventRowOperations() {
    QFETCH(QString, operation);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QStringList, expected);
    EventListView list;
    for (const char* text : {"a", "b", "c", "d"}) {
        list.AddRow(Key(text, 0));
    }
    if (operation == "insert") {
        list.InsertRow(first, Key("x", 0));
    } else if (operation == "delete") {
        QVERIFY(list.DeleteRow(first));
    } else if (operation == "swap") {
        QVERIFY(list.Swap(first, second));
    } else if (operation == "top") {
        QVERIFY(list.MoveToTop(first));
    } else if (operation == "bottom") {
        QVERIFY(list.MoveToBottom(first));
    } else {
        list.Clear();
    }
    QCOMPARE(Texts(list), expected);
}

void ListsTest::eventOperationsRefuseBadIndexes() {
    EventListView list;
    list.AddRow(Key("a", 0));
    list.AddRow(Key("b", 0));
    QVERIFY(!list.DeleteRow(2));
    QVERIFY(!list.DeleteRow(-1));
    QVERIFY(!list.Swap(0, 2));
    QVERIFY(!list.MoveToTop(5));
    QVERIFY(!list.MoveToBottom(-1));
    QVERIFY(!list.SetRow(2, Key("z", 0)));
    QVERIFY(!list.Row(2).has_value());
    QCOMPARE(Texts(list), (QStringList{"a", "b"}));
}

void ListsTest::eventSelectionFollowsMovedRow() {
    EventListView list;
    for (const char* text : {"a", "b", "c"}) {
        list.AddRow(Key(text, 0));
    }
    QCOMPARE(list.SelectedRow(), -1);
    list.Select(0);
    QVERIFY(list.Swap(0, 2));
    QCOMPARE(list.SelectedRow(), 2);
    QCOMPARE(list.Row(list.SelectedRow())->text, QString("a"));
    QVERIFY(list.MoveToTop(1));
    QCOMPARE(list.SelectedRow(), 0);
    QCOMPARE(list.Row(0)->text, QString("b"));
    list.Select(-1);
    QCOMPARE(list.SelectedRow(), -1);
}

void ListsTest::eventTextEditedInPlace() {
    EventListView list;
    list.AddRow(EventRow{"50", 3, 50, 0});
    list.AddRow(Key("a", 0));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy edited(&list, &EventListView::rowTextEdited);
    list.SetRow(0, EventRow{"60", 3, 60, 0});  // the program's own writes are not edits
    QCOMPARE(edited.count(), 0);

    list.EditText(0);
    QLineEdit* editor = OpenEditor(list.viewport());
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "120");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(edited.count(), 1);
    QCOMPARE(edited.first().at(0).toInt(), 0);
    QCOMPARE(edited.first().at(1).toString(), QString("120"));
    // The row keeps its type and value until the editor's rule rewrites it.
    QCOMPARE(list.Row(0)->type, 3);
    QCOMPARE(list.Row(0)->value, 60);
}

void ListsTest::macroRenameInPlace_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("reported");
    QTest::newRow("new name") << "Reload"
                              << "Reload" << true;
    QTest::newRow("blanks trimmed") << "  Reload  "
                                    << "Reload" << true;
    QTest::newRow("empty restores") << ""
                                    << "Macro 1" << false;
    QTest::newRow("only blanks restores") << "   "
                                          << "Macro 1" << false;
    QTest::newRow("same name is no change") << "Macro 1"
                                            << "Macro 1" << false;
}

void ListsTest::macroRenameInPlace() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, reported);
    MacroListView list;
    list.AddMacro("Macro 0", 10);
    list.AddMacro("Macro 1", 11);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy renamed(&list, &MacroListView::macroRenamed);

    list.BeginRename(1);
    QLineEdit* editor = OpenEditor(list.viewport());
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(list.findChild<QLineEdit*>() == nullptr ||
                !list.findChild<QLineEdit*>()->isVisible());
    QCOMPARE(list.NameAt(1), shown);
    QCOMPARE(renamed.count(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(renamed.first().at(0).toInt(), 1);
        QCOMPARE(renamed.first().at(1).toInt(), 11);
        QCOMPARE(renamed.first().at(2).toString(), shown);
    }
    QCOMPARE(list.NameAt(0), QString("Macro 0"));
}

void ListsTest::macroItemsByData() {
    MacroListView list;
    list.AddMacro("a", 7);
    list.AddMacro("b", 9);
    list.AddMacro("c", 12);
    QCOMPARE(list.IndexOfData(9), 1);
    QCOMPARE(list.IndexOfData(8), -1);
    QVERIFY(list.DeleteMacro(1));
    QVERIFY(!list.DeleteMacro(2));
    QCOMPARE(list.Count(), 2);
    QCOMPARE(list.DataAt(1), 12);
    QCOMPARE(list.DataAt(2), -1);
    QVERIFY(list.Rename(0, "first"));
    QVERIFY(!list.Rename(5, "none"));
    QCOMPARE(list.NameAt(0), QString("first"));
}

void ListsTest::macroSelectionSignalsUserChoiceOnly() {
    MacroListView list;
    list.AddMacro("a", 7);
    list.AddMacro("b", 9);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy selected(&list, &MacroListView::macroSelected);
    list.Select(1);
    QCOMPARE(list.SelectedIndex(), 1);
    QCOMPARE(selected.count(), 0);
    const QRect first = list.visualItemRect(list.item(0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(list.SelectedIndex(), 0);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.first().at(1).toInt(), 7);
    list.Select(-1);
    QCOMPARE(list.SelectedIndex(), -1);
}

QTEST_MAIN(ListsTest)
#include "ListsTest.moc"
