// quillora-screenshots APP_DIR OUT_DIR: renders the main window in every shipped
// language to OUT_DIR/main-<language>.png, at the design size and at two thirds of it.

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "app/Folders.h"
#include "lang/LanguageFile.h"
#include "ui/DeviceMainDlg.h"
#include "ui/SkinImages.h"

using namespace quillora;
using namespace quillora::ui;

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
    return failures == 0 ? 0 : 1;
}
