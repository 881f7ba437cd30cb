// dialog_commands.h — the menu commands that run the plugin selection dialog, the quick
// menu, the holiday editor and the iCalendar files.  The application runs
// InstallDialogCommands as an extension once the view is ready (CTavikApp::AddExtension);
// it enables the commands
//   32781 "選択(&L)" (Ctrl+P)         the selection dialog for the active window
//   32794..32800 "クイック(&Q)"        the quick plugins ("メモ(&M)" also Ctrl+Q), each greyed
//                                    while its file is not in the plugin folder
//   32785 "休日データ(&H)"             the holiday list, then DateChanged to every window
//   32802, 32803                      iCalendar files in and out (calendar_commands.h)
// and makes the plugin button and the host keys "keyplugsel" / "keyplugselnext" choose a
// window's plugin.
#pragma once

namespace yk {

class CMainFrame;
class CTavikView;

void InstallDialogCommands(CMainFrame& frame, CTavikView& view);

}  // namespace yk
