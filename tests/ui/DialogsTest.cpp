// The message box, the palette window and the registry of transient windows.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "ui/PaletteDialog.h"
#include "ui/PopupRegistry.h"
#include "ui/SkinnedMessageBox.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

const std::string kApplicationFolder = QUILLORA_SOURCE_DIR "/data/";

// Runs `answer` on the modal window once the event loop shows it.
template <typename Window, typename Answer>
void WhenShown(Answer answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(window);
        }
    });
    timer->start();
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void messageBoxAnswers_data();
    void messageBoxAnswers();
    void messageBoxTakesItsTextsFromTheLanguage();
    void messageBoxSeamAnswersOnce();
    void paletteReturnsChoiceOrNothing();
    void paletteSeam();
    void popupsCloseAndHideByTitle();
    void popupsFromAnotherThread();
    void destroyedPopupsDropOut();
};

void DialogsTest::messageBoxAnswers_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::newRow("one button ok") << kMessageBoxOk << "okButton" << kMessageBoxResultOk;
    QTest::newRow("one button escape") << kMessageBoxOk << "escape" << kMessageBoxResultOk;
    QTest::newRow("two buttons ok") << kMessageBoxOkCancel << "okButton" << kMessageBoxResultOk;
    QTest::newRow("two buttons cancel")
        << kMessageBoxOkCancel << "cancelButton" << kMessageBoxResultCancel;
    QTest::newRow("two buttons escape")
        << kMessageBoxOkCancel << "escape" << kMessageBoxResultCancel;
    QTest::newRow("two buttons enter") << kMessageBoxOkCancel << "enter" << kMessageBoxResultOk;
}

void DialogsTest::messageBoxAnswers() {
    QFETCH(int, type);
    QFETCH(QString, action);
    QFETCH(int, result);
    bool hadCancel = false;
    WhenShown<SkinnedMessageBox>([&](SkinnedMessageBox* box) {
        hadCancel = box->findChild<QPushButton*>("cancelButton") != nullptr;
        if (action == "escape") {
            QTest::keyClick(box, Qt::Key_Escape);
        } else if (action == "enter") {
            QTest::keyClick(box, Qt::Key_Return);
        } else {
            box->findChild<QPushButton*>(action)->click();
        }
    });
    const int answer = SkinnedMessageBox::Show(
        nullptr, SkinnedMessageBox::Content{"Title", "Message", type, "OK", "Cancel"});
    QCOMPARE(answer, result);
    QCOMPARE(hadCancel, type == kMessageBoxOkCancel);
}

void DialogsTest::messageBoxTakesItsTextsFromTheLanguage() {
    const InterfaceTexts texts(kApplicationFolder, 1033);
    QString title;
    QString message;
    QString ok;
    QString cancel;
    WhenShown<SkinnedMessageBox>([&](SkinnedMessageBox* box) {
        title = box->findChild<QLabel*>("messageTitleLabel")->text();
        message = box->findChild<QLabel*>("messageTextLabel")->text();
        ok = box->findChild<QPushButton*>("okButton")->text();
        cancel = box->findChild<QPushButton*>("cancelButton")->text();
        QCOMPARE(box->size(), QSize(430, 230));
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        box->findChild<QPushButton*>("cancelButton")->click();
    });
    QCOMPARE(SkinnedMessageBox::Show(nullptr, texts, 570, 571, kMessageBoxOkCancel),
             kMessageBoxResultCancel);
    QCOMPARE(title, QString::fromStdU16String(texts.GetText(570)));
    QCOMPARE(message, QString::fromStdU16String(texts.GetText(571)));
    QCOMPARE(ok, QString::fromStdU16String(texts.GetText(23)));
    QCOMPARE(cancel, QString::fromStdU16String(texts.GetText(25)));
    QVERIFY(!title.isEmpty() && !message.isEmpty() && !ok.isEmpty() && !cancel.isEmpty());
}

void DialogsTest::messageBoxSeamAnswersOnce() {
    const InterfaceTexts texts(kApplicationFolder, 1033);
    SkinnedMessageBox::SetNextAnswer(kMessageBoxResultCancel);
    QCOMPARE(SkinnedMessageBox::Show(nullptr, texts, 576, 57, kMessageBoxOkCancel),
             kMessageBoxResultCancel);
    const auto shown = SkinnedMessageBox::LastShown();
    QVERIFY(shown.has_value());
    QCOMPARE(shown->title, QString::fromStdU16String(texts.GetText(576)));
    QCOMPARE(shown->message, QString::fromStdU16String(texts.GetText(57)));
    QCOMPARE(shown->type, kMessageBoxOkCancel);
    // The answer is used up: the next box opens for real.
    WhenShown<SkinnedMessageBox>(
        [](SkinnedMessageBox* box) { box->findChild<QPushButton*>("okButton")->click(); });
    QCOMPARE(SkinnedMessageBox::Show(nullptr, texts, 576, 57, kMessageBoxOk), kMessageBoxResultOk);
}

void DialogsTest::paletteReturnsChoiceOrNothing() {
    WhenShown<PaletteDialog>([](PaletteDialog* palette) {
        palette->SetColour(QColor(12, 34, 56));
        palette->accept();
    });
    QCOMPARE(PaletteDialog::ChooseColour(nullptr, Qt::white, "Palette"),
             std::optional<QColor>(QColor(12, 34, 56)));
    QColor initial;
    WhenShown<PaletteDialog>([&](PaletteDialog* palette) {
        initial = palette->Colour();
        palette->SetColour(Qt::green);
        palette->reject();
    });
    QCOMPARE(PaletteDialog::ChooseColour(nullptr, QColor(200, 100, 0), "Palette"), std::nullopt);
    QCOMPARE(initial, QColor(200, 100, 0));
}

void DialogsTest::paletteSeam() {
    PaletteDialog::SetNextAnswer(QColor(Qt::blue));
    QCOMPARE(PaletteDialog::ChooseColour(nullptr, Qt::white, "Palette"),
             std::optional<QColor>(QColor(Qt::blue)));
    PaletteDialog::SetNextAnswer(std::nullopt);
    QCOMPARE(PaletteDialog::ChooseColour(nullptr, Qt::white, "Palette"), std::nullopt);
}

void DialogsTest::popupsCloseAndHideByTitle() {
    PopupRegistry registry;
    QWidget notice;
    QWidget save;
    QWidget secondNotice;
    notice.setWindowTitle("DpiNotice");
    save.setWindowTitle("SaveWaitDlg");
    secondNotice.setWindowTitle("DpiNotice");
    for (QWidget* popup : {&notice, &save, &secondNotice}) {
        registry.Register(popup);
        popup->show();
    }
    registry.Register(&notice);  // twice is once
    QCOMPARE(registry.Find("DpiNotice").size(), 2);

    registry.HideByTitle("SaveWaitDlg");
    QVERIFY(!save.isVisible());
    QVERIFY(notice.isVisible());
    registry.CloseByTitle("DpiNotice");
    QVERIFY(!notice.isVisible());
    QVERIFY(!secondNotice.isVisible());
    registry.CloseByTitle("nothing by this title");

    registry.Unregister(&save);
    save.show();
    registry.HideByTitle("SaveWaitDlg");
    QVERIFY(save.isVisible());
}

void DialogsTest::popupsFromAnotherThread() {
    PopupRegistry registry;
    QWidget progress;
    progress.setWindowTitle("UpgradeProgress");
    registry.Register(&progress);
    progress.show();
    std::thread worker([&registry] { registry.HideByTitle("UpgradeProgress"); });
    worker.join();
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isVisible(), 10000);
    progress.show();
    std::thread closer([&registry] { registry.CloseByTitle("UpgradeProgress"); });
    closer.join();
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isVisible(), 10000);
}

void DialogsTest::destroyedPopupsDropOut() {
    PopupRegistry registry;
    auto* deleting = new QWidget;
    deleting->setWindowTitle("DpiNotice");
    deleting->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> watch(deleting);
    registry.Register(deleting);
    deleting->show();
    registry.CloseByTitle("DpiNotice");
    QTRY_VERIFY_WITH_TIMEOUT(watch.isNull(), 10000);
    QVERIFY(registry.Find("DpiNotice").isEmpty());
    registry.CloseByTitle("DpiNotice");  // nothing left to touch
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
