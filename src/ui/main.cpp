// quillora: the desktop program.

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/Folders.h"
#include "app/LanguageSelection.h"
#include "app/SettingsRegistry.h"
#include "app/Trace.h"
#include "app/Utf8.h"
#include "formats/AppConfig.h"
#include "ui/CommandLine.h"
#include "ui/DeviceMainDlg.h"
#include "ui/DpiAwareness.h"
#include "ui/ExitCodes.h"
#include "ui/ShellController.h"
#include "ui/SingleInstance.h"
#include "ui/SkinImages.h"
#include "ui/StartupConfig.h"
#include "ui/Texts.h"
#include "ui/TrayIcon.h"

namespace {

using namespace quillora;
using namespace quillora::ui;

// What start-up takes from config.xml: the product key name, the languages and the
// title bar's web address. Nothing when the file cannot be used.
std::optional<ui::StartupConfig> ReadStartup(const std::string& applicationFolder) {
    const std::string path = ConfigFilePath(applicationFolder);
    const quillora::StartupConfig startup = quillora::ReadStartupConfig(path);
    if (!startup.loaded || startup.productKeyName.empty()) {
        return std::nullopt;
    }
    const CatalogConfig catalog = ReadCatalogConfig(path, u"");
    return ui::StartupConfig{startup.productKeyName, startup.languages,
                             ToUtf8(catalog.software.websiteUrl)};
}

void TraceDpiDecision() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const qreal ratio = screen->devicePixelRatio();
    const QSize size = screen->geometry().size() * ratio;
    const MonitorDpi monitor{MonitorDpiQuery::Answered,
                             int(screen->logicalDotsPerInchX() * ratio + 0.5)};
    const DpiDecision decision = DecideDpiAwareness(size.width(), size.height(), monitor);
    Trace(TraceLevel::Info, "screen %dx%d at %d dpi: %s", size.width(), size.height(),
          monitor.horizontalDpi, decision.dpiAware ? "dpi-aware" : "dpi-unaware");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.Ok()) {
        std::fprintf(stderr, "quillora: %s\n%s", parsed.error.c_str(), CommandLineUsage());
        return kExitCodeBadUsage;
    }
    const StartupOptions& options = parsed.options;

    const std::string applicationFolder = ApplicationFolder(options.folders);
    const std::optional<ui::StartupConfig> startup = ReadStartup(applicationFolder);
    if (!startup) {
        std::fprintf(stderr, "quillora: cannot read %s (use --app-dir to name the folder)\n",
                     ConfigFilePath(applicationFolder).c_str());
        return kExitCodeBadUsage;
    }
    const ui::StartupConfig& config = *startup;
    const QString productKeyName = QString::fromStdU16String(config.productKeyName);
    const QString runtimeFolder = SingleInstance::DefaultRuntimeFolder();

    if (options.send) {
        QCoreApplication app(argc, argv);
        const bool delivered = SingleInstance::SendMessage(
            productKeyName, runtimeFolder, options.send->message, options.send->param);
        if (!delivered) {
            std::fprintf(stderr, "quillora: no running instance answered\n");
        }
        return delivered ? kExitCodeEnded : kExitCodeNotDelivered;
    }

    QApplication app(argc, argv);
    app.setApplicationName(productKeyName);
    // Hidden into the tray is still running.
    app.setQuitOnLastWindowClosed(false);
    TraceDpiDecision();

    SingleInstance instance(productKeyName, runtimeFolder);
    if (instance.Claim() == SingleInstance::Role::Secondary) {
        instance.AskPrimaryToShow();
        return kExitCodeEnded;
    }

    SettingsRegistry registry(ConfigFolder(config.productKeyName, options.folders));
    const int language = SelectStartupLanguage(registry, config.languages, UserDefaultUiLanguage());
    InterfaceTexts texts(applicationFolder, language);
    CreateFolder(DatabaseFolder(ApplicationDataFolder(config.productKeyName, options.folders)));
    if (options.simulate) {
        Trace(TraceLevel::Info, "simulated devices requested: '%s'", options.simulate->c_str());
    }

    ApplyDarkTheme();
    const SkinImages skin(QString::fromStdString(SkinFolder(applicationFolder, "dark/")));
    DeviceMainDlg window(texts, skin, productKeyName);
    window.SetWebsiteUrl(QString::fromStdString(config.websiteUrl));

    SystemTrayIcon tray;
    ShellController shell(window, tray, registry);
    shell.AddTrayIcon(skin.Icon(QStringLiteral("DeviceDriver.ico")), productKeyName,
                      Text(texts, 12));
    QObject::connect(&window, &DeviceMainDlg::closeRequested, &shell,
                     &ShellController::CloseButtonClicked);
    QObject::connect(&instance, &SingleInstance::showRequested, &shell,
                     &ShellController::BringWindowBack);
    QObject::connect(&instance, &SingleInstance::messageReceived, &shell,
                     &ShellController::HandleMessage);
    QObject::connect(&shell, &ShellController::textsResetRequested, &window, [&] {
        window.SetAllTexts();
        shell.SetExitText(Text(texts, 12));
    });

    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    if (!StartsHidden(options, registry.ReadInt("autorun_minimize"))) {
        window.show();
    }
    app.exec();
    return kExitCodeWindowClosed;
}
