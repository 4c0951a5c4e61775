#pragma once

// The process exit codes of the desktop program.

namespace quillora::ui {

// Another instance was already running (it was asked to show its window), or the
// program was ended on purpose: tray menu, close button, message 1691/610.
inline constexpr int kExitCodeEnded = 0;
// The main window's event loop returned on its own (for example the session ended).
inline constexpr int kExitCodeWindowClosed = 1;
// --send could not deliver its message: no running instance answered.
inline constexpr int kExitCodeNotDelivered = 1;
// Our own options were given wrongly (a missing folder, a non-numeric --send value).
inline constexpr int kExitCodeBadUsage = 2;

}  // namespace quillora::ui
