// quillora-screenshots APP_DIR OUT_DIR: renders the main window in every shipped
// language to OUT_DIR/main-<language>-<size>.png, at the design size and at two thirds
// of it, and a sheet of the reusable controls (controls.png) with sample values, to
// check how they draw before the pages use them.

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <cstdio>

#include "app/Folders.h"
#include "lang/LanguageFile.h"
#include "ui/BatteryIndicator.h"
#include "ui/ColourButton.h"
#include "ui/DeviceListWidget.h"
#include "ui/DeviceMainDlg.h"
#include "ui/DpiLevelControl.h"
#include "ui/DpiSlider.h"
#include "ui/EventListView.h"
#include "ui/LightSlider.h"
#include "ui/MacroListView.h"
#include "ui/ReportRateControl.h"
#include "ui/SkinImages.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

bool SaveControlsSheet(const SkinImages& skin, const QString& path) {
    QWidget sheet;
    sheet.setObjectName(QStringLiteral("deviceMainDlg"));
    sheet.setAttribute(Qt::WA_StyledBackground);
    auto* form = new QFormLayout(&sheet);
    form->setContentsMargins(24, 24, 24, 24);
    form->setSpacing(16);

    auto* devices = new DeviceListWidget(&sheet);
    devices->SetImages(skin);
    devices->SetTexts(QStringLiteral("Wired"), QStringLiteral("Wireless"),
                      QStringLiteral("Mouse offline"), QStringLiteral("Version"));
    devices->AddDevice(QStringLiteral("Sample wireless"), 1,
                       skin.Pixmap(QStringLiteral("device/list_halcyon_pro.png")));
    devices->AddDevice(QStringLiteral("Sample cabled"), 2,
                       skin.Pixmap(QStringLiteral("device/list_halcyon_core.png")));
    devices->SetOnline(0, true);
    devices->SetWireless(0, true);
    devices->SetBattery(0, 15, false);
    devices->SetVersion(0, QStringLiteral("V1.05"));
    devices->Select(0);
    form->addRow(QStringLiteral("Device list"), devices);

    auto* levels = new DpiLevelControl(&sheet);
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 0; i < kMaxDpiLevels; ++i) {
        levels->AddLevel(400 * (i + 1), colours[i]);
    }
    levels->Select(2);
    form->addRow(QStringLiteral("DPI levels"), levels);

    auto* slider = new DpiSlider(&sheet);
    slider->SetPositionCount(520);
    slider->SetEndCaptions(QStringLiteral("50"), QStringLiteral("26000"));
    slider->SetPosition(32);
    form->addRow(QStringLiteral("DPI slider"), slider);

    auto* rate = new ReportRateControl(&sheet);
    for (auto [caption, value] : {std::pair{"125Hz", 8}, {"500Hz", 2}, {"1000Hz", 1}}) {
        rate->AddRate(QString::fromLatin1(caption), value);
    }
    rate->SelectValue(1);
    form->addRow(QStringLiteral("Report rate"), rate);

    auto* light = new LightSlider(&sheet);
    light->SetPosition(3);
    form->addRow(QStringLiteral("Light slider"), light);

    auto* swatches = new QWidget(&sheet);
    auto* swatchRow = new QHBoxLayout(swatches);
    swatchRow->setContentsMargins(0, 0, 0, 0);
    for (const QColor& colour : colours) {
        swatchRow->addWidget(new ColourButton(colour, QStringLiteral("DEFAULTCOLOR"), swatches));
    }
    swatchRow->addStretch();
    swatches->findChild<ColourButton*>()->setChecked(true);
    form->addRow(QStringLiteral("Colour buttons"), swatches);

    auto* battery = new BatteryIndicator(&sheet);
    battery->SetImages(skin);
    battery->SetLevel(70);
    battery->SetCharging(true);
    form->addRow(QStringLiteral("Battery"), battery);

    auto* events = new EventListView(&sheet);
    events->SetColumnTitles(QStringLiteral("Event"), QStringLiteral("ms"));
    events->AddRow(EventRow{QStringLiteral("A down"), 1, 65, 0});
    events->AddRow(EventRow{QStringLiteral("A up"), 2, 65, 80});
    events->setFixedHeight(110);
    form->addRow(QStringLiteral("Event list"), events);

    auto* macros = new MacroListView(&sheet);
    macros->AddMacro(QStringLiteral("Macro 1"), 1);
    macros->AddMacro(QStringLiteral("Macro 2"), 2);
    macros->Select(0);
    macros->setFixedHeight(70);
    form->addRow(QStringLiteral("Macro list"), macros);

    sheet.resize(900, sheet.sizeHint().height());
    sheet.show();
    QApplication::processEvents();
    return sheet.grab().save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: quillora-screenshots APP_DIR OUT_DIR\n");
        return 2;
    }
    const std::string applicationFolder = WithTrailingSlash(arguments[1].toStdString());
    QDir out(arguments[2]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(arguments[2]));
        return 1;
    }
    ApplyDarkTheme();
    const SkinImages skin(QString::fromStdString(SkinFolder(applicationFolder, "dark/")));
    int failures = 0;
    for (int language : {1033, 2052}) {
        InterfaceTexts texts(applicationFolder, language);
        DeviceMainDlg window(texts, skin, QStringLiteral("Quillora"));
        for (const QSize size : {QSize(kDesignWidth, kDesignHeight),
                                 QSize(kDesignWidth * 2 / 3, kDesignHeight * 2 / 3)}) {
            window.resize(size);
            window.show();
            QApplication::processEvents();
            const QString name = out.filePath(QStringLiteral("main-%1-%2x%3.png")
                                                  .arg(language)
                                                  .arg(size.width())
                                                  .arg(size.height()));
            if (window.grab().save(name)) {
                std::printf("%s\n", qPrintable(name));
            } else {
                ++failures;
            }
        }
    }
    const QString sheet = out.filePath(QStringLiteral("controls.png"));
    if (SaveControlsSheet(skin, sheet)) {
        std::printf("%s\n", qPrintable(sheet));
    } else {
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
