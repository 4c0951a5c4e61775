#pragma once

// Interface texts as Qt strings.

#include <QString>

#include "lang/LanguageFile.h"

namespace quillora::ui {

// Text `number` of the current language; empty when the language file lacks it.
QString Text(const InterfaceTexts& texts, int number);

}  // namespace quillora::ui
