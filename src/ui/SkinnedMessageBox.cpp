#include "ui/SkinnedMessageBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Texts.h"

namespace quillora::ui {
namespace {

struct Seam {
    std::optional<int> nextAnswer;
    std::optional<SkinnedMessageBox::Content> lastShown;
};
Seam& TestSeam() {
    static Seam seam;
    return seam;
}

}  // namespace

SkinnedMessageBox::SkinnedMessageBox(const Content& content, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      type_(content.type) {
    setObjectName(QStringLiteral("messageBoxDialog"));
    setModal(true);
    setWindowTitle(content.title);
    setFixedSize(430, 230);

    auto* title = new QLabel(content.title, this);
    title->setObjectName(QStringLiteral("messageTitleLabel"));
    auto* message = new QLabel(content.message, this);
    message->setObjectName(QStringLiteral("messageTextLabel"));
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignCenter);

    auto* ok = new QPushButton(content.okText, this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(kMessageBoxResultOk); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    if (type_ == kMessageBoxOkCancel) {
        auto* cancel = new QPushButton(content.cancelText, this);
        cancel->setObjectName(QStringLiteral("cancelButton"));
        connect(cancel, &QPushButton::clicked, this, [this] { done(kMessageBoxResultCancel); });
        buttons->addSpacing(24);
        buttons->addWidget(cancel);
    }
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 24);
    layout->addWidget(title);
    layout->addWidget(message, 1);
    layout->addLayout(buttons);
}

void SkinnedMessageBox::reject() {
    done(type_ == kMessageBoxOkCancel ? kMessageBoxResultCancel : kMessageBoxResultOk);
}

int SkinnedMessageBox::Show(QWidget* parent, const InterfaceTexts& texts, int titleText,
                            int messageText, int type) {
    Content content;
    content.title = Text(texts, titleText);
    content.message = Text(texts, messageText);
    content.type = type;
    content.okText = Text(texts, type == kMessageBoxOkCancel ? 23 : 20);
    content.cancelText = Text(texts, 25);
    return Show(parent, content);
}

int SkinnedMessageBox::Show(QWidget* parent, const Content& content) {
    Seam& seam = TestSeam();
    seam.lastShown = content;
    if (seam.nextAnswer) {
        const int answer = *seam.nextAnswer;
        seam.nextAnswer.reset();
        return answer;
    }
    SkinnedMessageBox box(content, parent);
    return box.exec();
}

void SkinnedMessageBox::SetNextAnswer(int answer) {
    TestSeam().nextAnswer = answer;
}
std::optional<SkinnedMessageBox::Content> SkinnedMessageBox::LastShown() {
    return TestSeam().lastShown;
}

}  // namespace quillora::ui
