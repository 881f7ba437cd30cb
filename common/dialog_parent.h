// dialog_parent.h — the window a plugin's dialogs belong to.
//
// Every dialog a plugin opens (the schedule edit dialog and the pickers it opens in turn)
// belongs to the organizer's main window: it stays above it, is modal to it and gets the
// keyboard when it opens.  Whatever window Qt thinks is active at that moment is no
// substitute: without a window manager there may be none, and a dialog without a parent
// can end up behind the main window, which its modality then blocks.
//
// The main window marks itself with its window handle (the Host context's `mainWnd`) in the
// Qt property kWindowHandleProperty, which is how a plugin finds it.
#pragma once

#include "common/plugin_interface.h"

class QWidget;

namespace yk {

inline constexpr char kWindowHandleProperty[] = "ykWindowHandle";

// The top-level widget whose handle is the Host context's `mainWnd`; when none carries it
// (a host that does not mark its window), the active window, which may be null.
[[nodiscard]] QWidget* OrganizerMainWindow(const HostContext* host);

// Brings a dialog that has just been shown to the top and gives it the keyboard.
void RaiseAndFocus(QWidget* dialog);

}  // namespace yk
