// The main window's frame: texts, tab items, the home page's empty state, scaling, and
// that closing is left to the shell.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include "support/TempDir.h"
#include "ui/DeviceListWidget.h"
#include "ui/DeviceMainDlg.h"
#include "ui/SkinImages.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

void WriteLanguage(const testing::TempDir& folder, const std::string& texts) {
    std::filesystem::create_directories(folder / "language");
    testing::TempDir::WriteFile(folder / "language/1033.lan", "[LAN]\n" + texts);
}

QString LabelText(const QWidget& window, const char* name) {
    const auto* label = window.findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString("<missing %1>").arg(name);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void shippedTextsFillTheFrame_data();
    void shippedTextsFillTheFrame();
    void textsAreLookedUpAgain();
    void tabItemsCarryTheirIds();
    void homePageShowsNoDeviceStateAndHidesDeviceBars();
    void devicePagesShowTabBarAndPanel();
    void scalesWithHeight();
    void closingAsksTheShell();
    void missingSkinImagesLeaveTextGlyphs();
};

void MainWindowTest::shippedTextsFillTheFrame_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 1033;
    QTest::newRow("Chinese") << 2052;
}

void MainWindowTest::shippedTextsFillTheFrame() {
    QFETCH(int, language);
    const InterfaceTexts texts(QUILLORA_SOURCE_DIR "/data/", language);
    const SkinImages skin(QUILLORA_SOURCE_DIR "/data/skins/dark/");
    DeviceMainDlg window(texts, skin, "Quillora");
    auto text = [&](int number) { return QString::fromStdU16String(texts.GetText(number)); };
    QCOMPARE(window.windowTitle(), QString("Quillora"));
    QCOMPARE(LabelText(window, "titleLabel"), text(1));
    QCOMPARE(window.findChild<QPushButton*>("websiteButton")->text(), text(2));
    QCOMPARE(window.findChild<QToolButton*>("closeButton")->toolTip(), text(5));
    QCOMPARE(window.findChild<QToolButton*>("minimizeButton")->toolTip(), text(6));
    QCOMPARE(window.findChild<QToolButton*>("maximizeButton")->toolTip(), text(7));
    QCOMPARE(window.findChild<QToolButton*>("settingsButton")->toolTip(), text(11));
    QCOMPARE(LabelText(window, "deviceStateLabel"), text(50));
    QCOMPARE(LabelText(window, "noDeviceLabel"), text(50));
    QCOMPARE(LabelText(window, "noticeLabel"), text(56));
    QCOMPARE(window.findChild<QPushButton*>("profileButton")->text(), text(61));
    QCOMPARE(window.findChild<QPushButton*>("restoreButton")->text(), text(558));
    for (int index = 0; index < window.TabBar()->count(); ++index) {
        QCOMPARE(window.TabBar()->tabText(index), text(kTabItems[index].text));
        QVERIFY(!window.TabBar()->tabText(index).isEmpty());
    }
}

void MainWindowTest::textsAreLookedUpAgain() {
    testing::TempDir folder;
    WriteLanguage(folder, "1=Before\n50=Nothing here\n");
    const InterfaceTexts texts(folder.Path(), 1033);
    const SkinImages skin(QString::fromStdString(folder.Path() + "skins/dark/"));
    DeviceMainDlg window(texts, skin, "Quillora");
    QCOMPARE(LabelText(window, "titleLabel"), QString("Before"));
    WriteLanguage(folder, "1=After\n50=Still nothing\n");
    QCOMPARE(LabelText(window, "titleLabel"), QString("Before"));
    window.SetAllTexts();
    QCOMPARE(LabelText(window, "titleLabel"), QString("After"));
    QCOMPARE(LabelText(window, "noDeviceLabel"), QString("Still nothing"));
    // A text the file lacks is empty, not a number or a stale caption.
    QCOMPARE(LabelText(window, "noticeLabel"), QString());
}

void MainWindowTest::tabItemsCarryTheirIds() {
    const InterfaceTexts texts(QUILLORA_SOURCE_DIR "/data/", 1033);
    const SkinImages skin(QUILLORA_SOURCE_DIR "/data/skins/dark/");
    DeviceMainDlg window(texts, skin, "Quillora");
    QTabBar* tabs = window.TabBar();
    QCOMPARE(tabs->objectName(), QString("pageTabBar"));
    QList<int> ids;
    for (int index = 0; index < tabs->count(); ++index) {
        ids << tabs->tabData(index).toInt();
    }
    QCOMPARE(ids, (QList<int>{1, 2, 3, 4, 5, 7}));
    QSignalSpy selected(&window, &DeviceMainDlg::tabSelected);
    window.ShowDevicePages(1);
    tabs->setCurrentIndex(5);
    QVERIFY(selected.count() >= 1);
    QCOMPARE(selected.last().at(0).toInt(), 7);
    QCOMPARE(window.CurrentPageId(), 7);
}

void MainWindowTest::homePageShowsNoDeviceStateAndHidesDeviceBars() {
    const InterfaceTexts texts(QUILLORA_SOURCE_DIR "/data/", 1033);
    const SkinImages skin(QUILLORA_SOURCE_DIR "/data/skins/dark/");
    DeviceMainDlg window(texts, skin, "Quillora");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.CurrentPageId(), kHomePageId);
    QVERIFY(!window.TabBar()->isVisible());
    QVERIFY(!window.findChild<QWidget*>("statePanelWidget")->isVisible());
    QVERIFY(window.findChild<QWidget*>("emptyStateWidget")->isVisible());
    QVERIFY(!window.DeviceList()->isVisible());
    QCOMPARE(window.PageStack()->count(), 1);

    window.DeviceList()->AddDevice("Pro", 101, QPixmap());
    window.RefreshHomeState();
    QVERIFY(window.DeviceList()->isVisible());
    QVERIFY(!window.findChild<QWidget*>("emptyStateWidget")->isVisible());
    // Previous and next clear the list's selection.
    window.DeviceList()->Select(0);
    window.findChild<QToolButton*>("nextButton")->click();
    QCOMPARE(window.DeviceList()->SelectedIndex(), -1);
}

void MainWindowTest::devicePagesShowTabBarAndPanel() {
    const InterfaceTexts texts(QUILLORA_SOURCE_DIR "/data/", 1033);
    const SkinImages skin(QUILLORA_SOURCE_DIR "/data/skins/dark/");
    DeviceMainDlg window(texts, skin, "Quillora");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.ShowDevicePages(1);
    QVERIFY(window.TabBar()->isVisible());
    QVERIFY(window.findChild<QWidget*>("statePanelWidget")->isVisible());
    QCOMPARE(window.CurrentPageId(), 2);
    window.ShowHomePage();
    QVERIFY(!window.TabBar()->isVisible());
    QCOMPARE(window.CurrentPageId(), kHomePageId);
}

void MainWindowTest::scalesWithHeight() {
    const InterfaceTexts texts(QUILLORA_SOURCE_DIR "/data/", 1033);
    const SkinImages skin(QUILLORA_SOURCE_DIR "/data/skins/dark/");
    DeviceMainDlg window(texts, skin, "Quillora");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.size(), QSize(kDesignWidth, kDesignHeight));
    QCOMPARE(window.Scale(), 1.0);
    const int designBar = window.findChild<QWidget*>("titleBarWidget")->height();
    const int designFont = window.font().pixelSize();

    window.resize(kDesignWidth * 3 / 2, kDesignHeight * 3 / 2);
    QTRY_COMPARE(window.height(), kDesignHeight * 3 / 2);
    QCOMPARE(window.Scale(), 1.5);
    QCOMPARE(window.findChild<QWidget*>("titleBarWidget")->height(), designBar * 3 / 2);
    QCOMPARE(window.font().pixelSize(), designFont * 3 / 2);
    // Children take the scaled text size too.
    QCOMPARE(window.findChild<QLabel*>("noticeLabel")->font().pixelSize(), designFont * 3 / 2);
}

void MainWindowTest::closingAsksTheShell() {
    const InterfaceTexts texts(QUILLORA_SOURCE_DIR "/data/", 1033);
    const SkinImages skin(QUILLORA_SOURCE_DIR "/data/skins/dark/");
    DeviceMainDlg window(texts, skin, "Quillora");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy close(&window, &DeviceMainDlg::closeRequested);
    QVERIFY(!window.close());  // the window manager's close
    QVERIFY(window.isVisible());
    window.findChild<QToolButton*>("closeButton")->click();
    QCOMPARE(close.count(), 2);
    QVERIFY(window.isVisible());

    QSignalSpy settings(&window, &DeviceMainDlg::settingsRequested);
    window.findChild<QToolButton*>("settingsButton")->click();
    QCOMPARE(settings.count(), 1);
}

void MainWindowTest::missingSkinImagesLeaveTextGlyphs() {
    testing::TempDir folder;
    WriteLanguage(folder, "1=Title\n");
    const InterfaceTexts texts(folder.Path(), 1033);
    const SkinImages skin(QString::fromStdString(folder.Path() + "skins/dark/"));
    QVERIFY(skin.Pixmap("sysbtn_close.png").isNull());
    DeviceMainDlg window(texts, skin, "Quillora");
    for (const char* name : {"closeButton", "minimizeButton", "maximizeButton", "settingsButton"}) {
        const auto* button = window.findChild<QToolButton*>(name);
        QVERIFY2(!button->text().isEmpty() || !button->icon().isNull(), name);
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
