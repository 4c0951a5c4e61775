// The shell: tray icon, close button, messages from other processes and the exit path.

#include <QSignalSpy>
#include <QtTest>
#include <optional>

#include "app/SettingsRegistry.h"
#include "support/TempDir.h"
#include "ui/ShellController.h"
#include "ui/TrayIcon.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

// A tray that records what the shell does to it; its clicks are emitted by the test.
class FakeTray final : public TrayIconSeam {
  public:
    bool available = true;
    bool shown = false;
    int removals = 0;
    QString toolTip;
    QString exitText;

    bool IsAvailable() const override { return available; }
    void Show(const QIcon&, const QString& tip) override {
        shown = true;
        toolTip = tip;
    }
    void SetToolTip(const QString& tip) override { toolTip = tip; }
    void SetExitText(const QString& text) override { exitText = text; }
    void Remove() override {
        shown = false;
        ++removals;
    }
    bool IsShown() const override { return shown; }
};

struct Fixture {
    testing::TempDir folder;
    SettingsRegistry registry{folder.Path()};
    QWidget window;
    FakeTray tray;
    std::vector<int> exits;
    ShellController shell{window, tray, registry, [this](int code) { exits.push_back(code); }};

    Fixture() {
        registry.ReadInt("exit_mode");  // creates the settings file, as a first start does
        shell.AddTrayIcon(QIcon(), "Quillora", "Exit");
        window.show();
    }
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    void trayShowsProductNameAndExitItem();
    void closeButtonByExitMode_data();
    void closeButtonByExitMode();
    void closeWithoutTrayMinimises();
    void trayClickBringsWindowBack();
    void trayMenuEnds();
    void messages_data();
    void messages();
    void exitModeIsReadAtEachClose();
    void blockedExitWaitsForTheBlockToLift();
};

void ShellTest::trayShowsProductNameAndExitItem() {
    Fixture f;
    QVERIFY(f.tray.shown);
    QCOMPARE(f.tray.toolTip, QString("Quillora"));
    QCOMPARE(f.tray.exitText, QString("Exit"));
    f.shell.SetExitText("退出");
    QCOMPARE(f.tray.exitText, QString("退出"));
    // The tip is cut to what the tray holds.
    f.shell.AddTrayIcon(QIcon(), QString(300, 'x'), "Exit");
    QCOMPARE(f.tray.toolTip.size(), kMaxTrayTipLength);
}

void ShellTest::closeButtonByExitMode_data() {
    QTest::addColumn<QString>("stored");  // empty: never written
    QTest::addColumn<bool>("hides");
    QTest::newRow("absent") << "" << false;
    QTest::newRow("exit") << "0" << false;
    QTest::newRow("hide") << "1" << true;
    QTest::newRow("other number") << "2" << false;
    QTest::newRow("not a number") << "yes" << false;
}

void ShellTest::closeButtonByExitMode() {
    QFETCH(QString, stored);
    QFETCH(bool, hides);
    Fixture f;
    if (!stored.isEmpty()) {
        QVERIFY(f.registry.WriteString("exit_mode", stored.toStdString()));
    }
    f.shell.CloseButtonClicked();
    if (hides) {
        QVERIFY(f.exits.empty());
        QVERIFY(!f.window.isVisible());
        QVERIFY(f.tray.shown);
    } else {
        QCOMPARE(f.exits, std::vector<int>{0});
        QVERIFY(!f.tray.shown);  // the icon goes before the process ends
        QCOMPARE(f.tray.removals, 1);
    }
}

void ShellTest::closeWithoutTrayMinimises() {
    for (bool trayMissing : {true, false}) {
        Fixture f;
        QVERIFY(f.registry.WriteString("exit_mode", "1"));
        // No tray on this desktop, or the icon could not be shown.
        f.tray.available = !trayMissing;
        f.tray.shown = trayMissing;
        f.shell.CloseButtonClicked();
        QVERIFY(f.exits.empty());
        QVERIFY(f.window.isVisible());
        QTRY_VERIFY(f.window.isMinimized());
    }
}

void ShellTest::trayClickBringsWindowBack() {
    Fixture f;
    QVERIFY(f.registry.WriteString("exit_mode", "1"));
    f.shell.CloseButtonClicked();
    QVERIFY(!f.window.isVisible());
    emit f.tray.activated();
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.window.isMinimized());
    f.window.showMinimized();
    QTRY_VERIFY(f.window.isMinimized());
    f.shell.BringWindowBack();
    QTRY_VERIFY(!f.window.isMinimized());
    QVERIFY(f.exits.empty());
}

void ShellTest::trayMenuEnds() {
    Fixture f;
    emit f.tray.exitChosen();
    QCOMPARE(f.exits, std::vector<int>{0});
    QVERIFY(!f.tray.shown);
}

void ShellTest::messages_data() {
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("param");
    QTest::addColumn<bool>("exits");
    QTest::addColumn<bool>("resetsTexts");
    QTest::newRow("exit") << 1691 << 610 << true << false;
    QTest::newRow("exit, other parameter") << 1691 << 611 << false << false;
    QTest::newRow("exit, zero") << 1691 << 0 << false << false;
    QTest::newRow("texts") << 2022 << 0 << false << true;
    QTest::newRow("texts, any parameter") << 2022 << 610 << false << true;
    QTest::newRow("unknown") << 1692 << 610 << false << false;
}

void ShellTest::messages() {
    QFETCH(int, message);
    QFETCH(int, param);
    QFETCH(bool, exits);
    QFETCH(bool, resetsTexts);
    Fixture f;
    QSignalSpy reset(&f.shell, &ShellController::textsResetRequested);
    f.shell.HandleMessage(message, param);
    QCOMPARE(f.exits.size(), exits ? 1u : 0u);
    QCOMPARE(reset.count(), resetsTexts ? 1 : 0);
    QCOMPARE(f.tray.shown, !exits);
}

void ShellTest::exitModeIsReadAtEachClose() {
    Fixture f;
    QVERIFY(f.registry.WriteString("exit_mode", "1"));
    f.shell.CloseButtonClicked();
    QVERIFY(f.exits.empty());
    f.shell.BringWindowBack();
    // Another process (or the settings page) changes it between two clicks.
    SettingsRegistry other(f.folder.Path());
    QVERIFY(other.WriteString("exit_mode", "0"));
    f.shell.CloseButtonClicked();
    QCOMPARE(f.exits, std::vector<int>{0});
}

void ShellTest::blockedExitWaitsForTheBlockToLift() {
    Fixture f;
    f.shell.SetExitBlocked(true);
    QVERIFY(f.shell.ExitBlocked());
    emit f.tray.exitChosen();
    f.shell.HandleMessage(1691, 610);
    f.shell.CloseButtonClicked();  // exit_mode absent: an exit request too
    QVERIFY(f.exits.empty());
    QVERIFY(f.tray.shown);
    QVERIFY(f.shell.ExitPending());
    f.shell.SetExitBlocked(false);
    QCOMPARE(f.exits, std::vector<int>{0});  // once, however many were asked for
    QVERIFY(!f.shell.ExitPending());
    QVERIFY(!f.tray.shown);

    // Lifting a block that held no request ends nothing.
    Fixture g;
    g.shell.SetExitBlocked(true);
    g.shell.SetExitBlocked(false);
    QVERIFY(g.exits.empty());
    QVERIFY(g.tray.shown);
}

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
