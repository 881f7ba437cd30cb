// main_frame.h — the main window: menu 128, tool bar 128, accelerator table 128 and the
// view that fills it.
//
// Every menu command is an action identified by its command id.  A command runs the
// handler registered for it with SetCommandHandler; a command without a handler is shown
// disabled.  The view registers the commands it carries out itself; modules added later
// (plugin selection, quick menu, key configuration, font, dial-up, holiday data, the
// management tool) enable theirs the same way, e.g.
//   frame.SetCommandHandler(kCommandFont, [&] { ... });
// "データフォルダ(&F)" (32791) has no function and stays disabled.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>

#include "platform/messages.h"

class QAction;
class QToolBar;

namespace yk {

class CTavikView;

// Command ids of menu 128 that are not window commands (window_manager.h has those).
enum FrameCommand : int {
  kCommandWindowSettings = 32780,
  kCommandPluginConfig = 32779,
  kCommandPluginSelect = 32781,
  kCommandWallpaper = 32782,
  kCommandTheme = 32784,
  kCommandHolidays = 32785,
  kCommandHostKeys = 32786,
  kCommandPluginKeys = 32787,
  kCommandFont = 32788,
  kCommandManagementTool = 32789,
  kCommandDataRefresh = 32790,
  kCommandDataFolder = 32791,
  kCommandDialupSettings = 32792,
  kCommandDialupToggle = 32793,
  kCommandQuickMemo = 32794,
  kCommandQuickSearch = 32795,
  kCommandQuickWeather = 32796,
  kCommandQuickCalendar = 32797,
  kCommandQuickSchedule = 32798,
  kCommandQuickDiary = 32799,
  kCommandQuickIcon = 32800,
  kCommandCalendarImport = 32801,
  kCommandCalendarExport = 32802,
  kCommandAbout = 57664,
  kCommandExit = 57665,
};

class CMainFrame : public QMainWindow, public platform::MessageTarget {
  Q_OBJECT

 public:
  // Builds the bars and the view; the view's client area gets `clientSize`.
  explicit CMainFrame(CTavikView* view, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CTavikView* view() const { return view_; }
  platform::Handle windowHandle() const { return handle_; }

  // The action of a command id, or nullptr for an id not in menu 128.
  QAction* Command(int id) const;

  // Runs `handler` for the command from now on and enables it; an empty handler disables
  // the command again.
  void SetCommandHandler(int id, std::function<void()> handler);
  bool HasCommandHandler(int id) const;

  // Runs a command as the menu would; false when it has no handler (or is unknown).
  bool RunCommand(int id);

  // The check mark of "ﾀﾞｲﾔﾙｱｯﾌﾟ(&U)".
  void SetDialupChecked(bool checked);

  // platform::MessageTarget: a posted close request (kCloseMessage) closes the frame.
  void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(uint32_t id) override;

  static constexpr uint32_t kCloseMessage = 0x0010;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* AddCommand(QWidget* menu, int id, const QString& text);
  void BuildMenu();
  void BuildToolBar();
  void BuildAccelerators();

  CTavikView* view_;
  platform::Handle handle_ = 0;
  std::map<int, QAction*> actions_;
  std::map<int, std::function<void()>> handlers_;
};

}  // namespace yk
