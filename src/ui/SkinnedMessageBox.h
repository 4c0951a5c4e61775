#pragma once

// The program's message box: a modal, frameless, always-on-top window with a title
// line and a message. Type 0 has one button (text 20); type 4 has two, OK (text 23)
// and Cancel (text 25). The result is 1 for OK and 2 for Cancel; closing a two-button
// box any other way counts as Cancel.
//
// Tests answer boxes in advance with SetNextAnswer: the next box returns that answer
// without opening, and LastShown tells what it would have shown.

#include <QDialog>
#include <optional>

#include "lang/LanguageFile.h"

class QLabel;

namespace quillora::ui {

inline constexpr int kMessageBoxOk = 0;        // one button
inline constexpr int kMessageBoxOkCancel = 4;  // two buttons
inline constexpr int kMessageBoxResultOk = 1;
inline constexpr int kMessageBoxResultCancel = 2;

class SkinnedMessageBox : public QDialog {
    Q_OBJECT

  public:
    struct Content {
        QString title;
        QString message;
        int type = kMessageBoxOk;
        QString okText;
        QString cancelText;
    };

    explicit SkinnedMessageBox(const Content& content, QWidget* parent = nullptr);

    // Shows the box with texts `titleText` and `messageText` and returns 1 or 2.
    static int Show(QWidget* parent, const InterfaceTexts& texts, int titleText, int messageText,
                    int type);
    static int Show(QWidget* parent, const Content& content);

    static void SetNextAnswer(int answer);
    static std::optional<Content> LastShown();

  protected:
    void reject() override;

  private:
    int type_;
};

}  // namespace quillora::ui
