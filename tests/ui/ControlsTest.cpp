// The reusable controls: what each shows and which signals reach the pages.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "ui/BatteryIndicator.h"
#include "ui/ColourButton.h"
#include "ui/DeviceListWidget.h"
#include "ui/DpiLevelControl.h"
#include "ui/DpiSlider.h"
#include "ui/LightSlider.h"
#include "ui/ReportRateControl.h"

using namespace quillora::ui;

class ControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void deviceListCountsOnlineTilesAndIgnoresBadIndexes();
    void deviceListSelectsByClickAndOpensByDoubleClick();
    void deviceListShowsVersionOnlyWhenKnown();
    void deviceListClearDropsSelection();
    void dpiLevelsStopAtSix();
    void dpiLevelsReportClicksEditsAndColourClicks();
    void dpiLevelSelectionIsExclusive();
    void sliderSignalsOnlyUserMoves();
    void dpiSliderKeepsStepModeForInvalidValues();
    void reportRateSelectsByValue();
    void reportRateReportsUserChoiceOnly();
    void colourButtonsAreExclusiveWithinTheirGroup();
    void batteryBoundsLevelAndFlagsLow_data();
    void batteryBoundsLevelAndFlagsLow();
};

void ControlsTest::deviceListCountsOnlineTilesAndIgnoresBadIndexes() {
    DeviceListWidget list;
    list.SetTexts("cable", "wireless", "offline", "Version");
    QCOMPARE(list.AddDevice("Pro", 101, QPixmap()), 0);
    QCOMPARE(list.AddDevice("Core", 102, QPixmap()), 1);
    QCOMPARE(list.AddDevice("Mini", 103, QPixmap()), 2);
    QCOMPARE(list.OnlineCount(), 0);
    list.SetOnline(0, true);
    list.SetOnline(2, true);
    list.SetOnline(3, true);   // ignored
    list.SetOnline(-1, true);  // ignored
    QCOMPARE(list.OnlineCount(), 2);
    list.SetOnline(0, false);
    QCOMPARE(list.OnlineCount(), 1);
    QCOMPARE(list.DataAt(1), 102);
    QCOMPARE(list.DataAt(3), -1);
    QCOMPARE(list.NameAt(2), QString("Mini"));

    list.SetBattery(2, 140, false);
    QCOMPARE(list.BatteryLevel(2), 100);
    list.SetBattery(2, -1, false);
    QCOMPARE(list.BatteryLevel(2), -1);
    list.SetBattery(9, 50, false);
    QCOMPARE(list.BatteryLevel(9), -1);
}

void ControlsTest::deviceListSelectsByClickAndOpensByDoubleClick() {
    DeviceListWidget list;
    list.AddDevice("Pro", 101, QPixmap());
    list.AddDevice("Core", 102, QPixmap());
    list.resize(800, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy selected(&list, &DeviceListWidget::selectionChanged);
    QSignalSpy activated(&list, &DeviceListWidget::deviceActivated);
    const auto tiles = list.findChildren<QFrame*>("deviceTileFrame");
    QCOMPARE(tiles.size(), 2);

    QTest::mouseClick(tiles[1], Qt::LeftButton);
    QCOMPARE(list.SelectedIndex(), 1);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.takeFirst().at(0).toInt(), 1);
    QTest::mouseDClick(tiles[0], Qt::LeftButton);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.takeFirst().at(0).toInt(), 0);

    // Enter opens the selected tile; the arrow keys move the selection.
    QCOMPARE(list.SelectedIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Right);
    QCOMPARE(list.SelectedIndex(), 1);
    QTest::keyClick(&list, Qt::Key_Right);  // already the last
    QCOMPARE(list.SelectedIndex(), 1);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.takeFirst().at(0).toInt(), 1);

    // Selecting the selected tile again is no change.
    selected.clear();
    list.Select(1);
    QCOMPARE(selected.count(), 0);
    list.Select(5);
    QCOMPARE(list.SelectedIndex(), 1);
}

void ControlsTest::deviceListShowsVersionOnlyWhenKnown() {
    DeviceListWidget list;
    list.SetTexts("cable", "wireless", "offline", "Version");
    list.AddDevice("Pro", 101, QPixmap());
    QCOMPARE(list.VersionText(0), QString());
    list.SetVersion(0, "V1.05");
    QCOMPARE(list.VersionText(0), QString("Version: V1.05"));
    // A caption change reaches the existing tiles.
    list.SetTexts("Kabel", "Funk", "aus", "Fassung");
    QCOMPARE(list.VersionText(0), QString("Fassung: V1.05"));
    const auto state = list.findChild<QLabel*>("tileStateLabel");
    QVERIFY(state != nullptr);
    QCOMPARE(state->text(), QString("aus"));
    list.SetOnline(0, true);
    QCOMPARE(state->text(), QString("Kabel"));
    list.SetWireless(0, true);
    QCOMPARE(state->text(), QString("Funk"));
    list.SetOnline(0, false);
    QCOMPARE(state->text(), QString("aus"));
}

void ControlsTest::deviceListClearDropsSelection() {
    DeviceListWidget list;
    list.AddDevice("Pro", 101, QPixmap());
    list.Select(0);
    QSignalSpy selected(&list, &DeviceListWidget::selectionChanged);
    list.Clear();
    QCOMPARE(list.Count(), 0);
    QCOMPARE(list.SelectedIndex(), -1);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.takeFirst().at(0).toInt(), -1);
    QCOMPARE(list.OnlineCount(), 0);
}

void ControlsTest::dpiLevelsStopAtSix() {
    DpiLevelControl levels;
    for (int i = 0; i < kMaxDpiLevels; ++i) {
        QCOMPARE(levels.AddLevel(400 * (i + 1), QColor(i * 40, 0, 0)), i);
    }
    QCOMPARE(levels.AddLevel(9000, Qt::white), -1);
    QCOMPARE(levels.Count(), kMaxDpiLevels);
    QCOMPARE(levels.LevelAt(5)->value, 2400);
    QVERIFY(!levels.LevelAt(6).has_value());
    QVERIFY(!levels.SetValue(6, 100));
    QVERIFY(levels.SetLevel(2, 1600, Qt::green));
    QCOMPARE(levels.LevelAt(2)->value, 1600);
    QCOMPARE(levels.LevelAt(2)->colour, QColor(Qt::green));
    QCOMPARE(levels.EditedText(2), QString("1600"));
    levels.Clear();
    QCOMPARE(levels.Count(), 0);
    QCOMPARE(levels.Selected(), -1);
    QCOMPARE(levels.AddLevel(800, Qt::red), 0);
}

void ControlsTest::dpiLevelsReportClicksEditsAndColourClicks() {
    DpiLevelControl levels;
    levels.AddLevel(400, Qt::red);
    levels.AddLevel(800, Qt::blue);
    levels.show();
    QVERIFY(QTest::qWaitForWindowExposed(&levels));
    QSignalSpy clicked(&levels, &DpiLevelControl::levelClicked);
    QSignalSpy edited(&levels, &DpiLevelControl::levelEdited);
    QSignalSpy colour(&levels, &DpiLevelControl::colourClicked);

    const auto selects = levels.findChildren<QPushButton*>("dpiLevelSelectButton");
    const auto edits = levels.findChildren<QLineEdit*>("dpiLevelLineEdit");
    const auto swatches = levels.findChildren<ColourButton*>("dpiLevelColourButton");
    QCOMPARE(selects.size(), 2);
    QTest::mouseClick(selects[1], Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.takeFirst().at(0).toInt(), 1);
    QCOMPARE(levels.Selected(), 1);

    QTest::mouseClick(swatches[0], Qt::LeftButton);
    QCOMPARE(colour.count(), 1);
    QCOMPARE(colour.takeFirst().at(0).toInt(), 0);

    edits[0]->setFocus();
    edits[0]->selectAll();
    QTest::keyClicks(edits[0], "1234");
    QTest::keyClick(edits[0], Qt::Key_Return);
    QVERIFY(edited.count() >= 1);
    QCOMPARE(edited.first().at(0).toInt(), 0);
    QCOMPARE(edited.first().at(1).toString(), QString("1234"));
    // Only the page decides the value; the stored level is unchanged until it does.
    QCOMPARE(levels.LevelAt(0)->value, 400);
    QCOMPARE(levels.EditedText(0), QString("1234"));
    // Letters never get into the field.
    QTest::keyClicks(edits[1], "x");
    QCOMPARE(levels.EditedText(1), QString("800"));
}

void ControlsTest::dpiLevelSelectionIsExclusive() {
    DpiLevelControl levels;
    for (int i = 0; i < 4; ++i) {
        levels.AddLevel(400, Qt::red);
    }
    const auto selects = levels.findChildren<QPushButton*>("dpiLevelSelectButton");
    levels.Select(2);
    levels.Select(3);
    int checked = 0;
    for (const QPushButton* button : selects) {
        checked += button->isChecked() ? 1 : 0;
    }
    QCOMPARE(checked, 1);
    QVERIFY(selects[3]->isChecked());
    levels.Select(7);  // ignored
    QCOMPARE(levels.Selected(), 3);
    levels.Select(-1);
    QVERIFY(!selects[3]->isChecked());
}

void ControlsTest::sliderSignalsOnlyUserMoves() {
    LightSlider slider;
    slider.SetPositions(0, 4);
    slider.resize(200, 30);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy moved(&slider, &LightSlider::moved);
    QSignalSpy released(&slider, &LightSlider::released);
    slider.SetPosition(3);
    slider.SetPositions(0, 2);  // bounds the position without a signal
    QCOMPARE(slider.Position(), 2);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(released.count(), 0);

    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Left);
    QCOMPARE(slider.Position(), 1);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.takeFirst().at(0).toInt(), 1);

    // A drag reports each position and lets go once.
    moved.clear();
    slider.setSliderDown(true);
    slider.setSliderPosition(2);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(released.count(), 0);
    slider.setSliderDown(false);
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.takeFirst().at(0).toInt(), 2);
}

void ControlsTest::dpiSliderKeepsStepModeForInvalidValues() {
    DpiSlider slider;
    slider.SetPositionCount(640);
    slider.SetEndCaptions("100", "32000");
    slider.SetStepMode(2);
    slider.SetStepMode(0);
    slider.SetStepMode(-3);
    QCOMPARE(slider.StepMode(), 2);
    QCOMPARE(slider.PositionCount(), 640);
    QCOMPARE(slider.MinimumCaption(), QString("100"));
    QCOMPARE(slider.MaximumCaption(), QString("32000"));
    slider.SetPosition(700);
    QCOMPARE(slider.Position(), 640);

    QSignalSpy released(&slider, &DpiSlider::released);
    slider.SetPosition(10);
    slider.Slider()->setFocus();
    QTest::keyClick(slider.Slider(), Qt::Key_Right);
    QCOMPARE(slider.Position(), 12);
    QCOMPARE(released.count(), 1);
}

void ControlsTest::reportRateSelectsByValue() {
    ReportRateControl rate;
    QCOMPARE(rate.objectName(), QString("rateComboBox"));
    QVERIFY(!rate.SelectedValue().has_value());
    for (auto [caption, value] :
         {std::pair{"125Hz", 8}, {"250Hz", 4}, {"500Hz", 2}, {"1000Hz", 1}}) {
        rate.AddRate(caption, value);
    }
    QVERIFY(rate.SelectValue(2));
    QCOMPARE(rate.currentText(), QString("500Hz"));
    QCOMPARE(*rate.SelectedValue(), 2);
    QVERIFY(!rate.SelectValue(64));  // not offered: the selection stays
    QCOMPARE(*rate.SelectedValue(), 2);
    rate.ClearRates();
    QVERIFY(!rate.SelectedValue().has_value());
}

void ControlsTest::reportRateReportsUserChoiceOnly() {
    ReportRateControl rate;
    rate.AddRate("125Hz", 8);
    rate.AddRate("1000Hz", 1);
    rate.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rate));
    QSignalSpy chosen(&rate, &ReportRateControl::rateChosen);
    rate.SelectValue(1);
    QCOMPARE(chosen.count(), 0);
    rate.setFocus();
    QTest::keyClick(&rate, Qt::Key_Up);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.takeFirst().at(0).toInt(), 8);
}

void ControlsTest::colourButtonsAreExclusiveWithinTheirGroup() {
    QWidget window;
    auto* red = new ColourButton(Qt::red, "DEFAULTCOLOR", &window);
    auto* green = new ColourButton(Qt::green, "DEFAULTCOLOR", &window);
    auto* slot = new ColourButton(Qt::blue, "COLORVALUE", &window);
    auto* slot2 = new ColourButton(Qt::white, "COLORVALUE", &window);
    red->setChecked(true);
    slot->setChecked(true);
    green->setChecked(true);
    QVERIFY(!red->isChecked());
    QVERIFY(green->isChecked());
    QVERIFY(slot->isChecked());  // another group is left alone
    slot2->setChecked(true);
    QVERIFY(!slot->isChecked());
    QVERIFY(green->isChecked());

    QSignalSpy chosen(red, &ColourButton::colourChosen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(red, Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.takeFirst().at(0).value<QColor>(), QColor(Qt::red));
    QVERIFY(!green->isChecked());
}

void ControlsTest::batteryBoundsLevelAndFlagsLow_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("charging");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("low");
    QTest::newRow("empty") << 0 << false << 0 << true;
    QTest::newRow("below zero") << -5 << false << 0 << true;
    QTest::newRow("just low") << 19 << false << 19 << true;
    QTest::newRow("threshold") << 20 << false << 20 << true;
    QTest::newRow("above threshold") << 21 << false << 21 << false;
    QTest::newRow("charging low") << 5 << true << 5 << false;
    QTest::newRow("full") << 100 << false << 100 << false;
    QTest::newRow("past full") << 255 << false << 100 << false;
}

void ControlsTest::batteryBoundsLevelAndFlagsLow() {
    QFETCH(int, level);
    QFETCH(bool, charging);
    QFETCH(int, shown);
    QFETCH(bool, low);
    BatteryIndicator battery;
    battery.SetLevel(50);
    battery.SetLevel(level);
    battery.SetCharging(charging);
    QCOMPARE(battery.Level(), shown);
    QCOMPARE(battery.IsLow(), low);
    QCOMPARE(battery.toolTip(), QString::number(shown) + "%");
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
