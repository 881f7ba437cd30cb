// host_dialogs.h — plugs plugin selection, the quick menu and the holiday editor into the
// host program: the application runs InstallHostDialogs as an extension once the view is
// ready (CTavikApp::AddExtension), which enables the commands
//   32781 "選択(&L)" (Ctrl+P)         the selection dialog for the active window
//   32794..32800 "クイック(&Q)"        the quick plugins ("メモ(&M)" also Ctrl+Q)
//   32785 "休日データ(&H)"             the holiday list, then DateChanged to every window
//   32801, 32802                      iCalendar files in and out (calendar_commands.h)
// and makes the plugin button and the host keys "keyplugsel" / "keyplugselnext" choose a
// window's plugin.
#pragma once

namespace yk {

class CMainFrame;
class CTavikView;

void InstallHostDialogs(CMainFrame& frame, CTavikView& view);

}  // namespace yk
