#include "ui/Texts.h"

namespace quillora::ui {

QString Text(const InterfaceTexts& texts, int number) {
    return QString::fromStdU16String(texts.GetText(number));
}

}  // namespace quillora::ui
