// settings_commands.h — the frame's commands for key assignment, the display font, the
// dial-up connection and the management tool:
//   32786 "キー設定(&K)" under 設定   the host's six keys in the key assignment dialog
//   32787 "キー設定(&K)" under プラグイン  the active window's plugin table (plg_keyconfig)
//   32788 "フォント(&F)"             the font dialog
//   32792 "ダイヤルアップ(&D)"        the dial-up dialog
//   32789 "管理ツール(&M)"           the updater, then the host closes
// The view registers them at its initial update; each does nothing until the host is ready.
#pragma once

namespace yk {

class CMainFrame;
class CTavikView;

void RegisterSettingsCommands(CMainFrame& frame, CTavikView& view);

}  // namespace yk
