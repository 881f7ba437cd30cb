#include "host/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "common/dialog_parent.h"
#include "host/tavik_view.h"
#include "host/window_manager.h"

namespace yk {

CMainFrame::CMainFrame(CTavikView* view, QWidget* parent) : QMainWindow(parent), view_(view) {
  handle_ = platform::RegisterWindow(this);
  // The plugins' dialogs find the main window by this handle (the Host context's mainWnd).
  setProperty(kWindowHandleProperty, QVariant::fromValue(uint(handle_)));
  BuildMenu();
  BuildToolBar();
  BuildAccelerators();
  view_->setParent(this);
  setCentralWidget(view_);
  view_->setFocus();
}

CMainFrame::~CMainFrame() {
  // While the frame is whole: the view stores where it was and how large.
  view_->OnDestroy();
  platform::UnregisterWindow(handle_);
}

QAction* CMainFrame::AddCommand(QWidget* menu, int id, const QString& text) {
  auto* action = new QAction(text, this);
  action->setData(id);
  action->setEnabled(false);
  connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  menu->addAction(action);
  actions_[id] = action;
  return action;
}

void CMainFrame::BuildMenu() {
  QMenuBar* bar = menuBar();

  QMenu* main = bar->addMenu(QStringLiteral("Yomitoki(&F)"));
  AddCommand(main, kCommandToday, QStringLiteral("今日(&T)"));
  QMenu* settings = main->addMenu(QStringLiteral("設定(&S)"));
  AddCommand(settings, kCommandHolidays, QStringLiteral("休日データ(&H)"));
  AddCommand(settings, kCommandHostKeys, QStringLiteral("キー設定(&K)"));
  AddCommand(settings, kCommandWindowSettings, QStringLiteral("ウィンドウ(&W)"));
  AddCommand(settings, kCommandTheme, QStringLiteral("テーマ(&T)"));
  AddCommand(settings, kCommandFont, QStringLiteral("フォント(&F)"));
  AddCommand(settings, kCommandDialupSettings, QStringLiteral("ダイヤルアップ(&D)"));
  QMenu* data = main->addMenu(QStringLiteral("データ(&D)"));
  AddCommand(data, kCommandDataFolder, QStringLiteral("データフォルダ(&F)"));
  AddCommand(data, kCommandDataRefresh, QStringLiteral("データ更新(&D)"));
  AddCommand(data, kCommandCalendarImport, QStringLiteral("iCalendarの読み込み(&I)..."));
  AddCommand(data, kCommandCalendarExport, QStringLiteral("iCalendarへの書き出し(&E)..."));
  AddCommand(main, kCommandDialupToggle, QStringLiteral("ﾀﾞｲﾔﾙｱｯﾌﾟ(&U)"))->setCheckable(true);
  AddCommand(main, kCommandWallpaper, QStringLiteral("壁紙(&R)"));
  AddCommand(main, kCommandWallpaperNone, QStringLiteral("壁紙なし(&N)"));
  AddCommand(main, kCommandManagementTool, QStringLiteral("管理ツール(&M)"));
  main->addSeparator();
  AddCommand(main, kCommandAbout, QStringLiteral("情報(&A)"));
  AddCommand(main, kCommandExit, QStringLiteral("終了(&X)"));

  QMenu* windows = bar->addMenu(QStringLiteral("ウィンドウ(&W)"));
  AddCommand(windows, kCommandNewWindow, QStringLiteral("新規作成"));
  AddCommand(windows, kCommandMaximize, QStringLiteral("最大化"));
  AddCommand(windows, kCommandCloseWindow, QStringLiteral("閉じる"));
  windows->addSeparator();
  AddCommand(windows, kCommandToTop, QStringLiteral("最前面へ"));
  AddCommand(windows, kCommandUpOne, QStringLiteral("前面へ"));
  AddCommand(windows, kCommandDownOne, QStringLiteral("背面へ"));
  AddCommand(windows, kCommandToBottom, QStringLiteral("最背面へ"));

  QMenu* plugin = bar->addMenu(QStringLiteral("プラグイン(&P)"));
  AddCommand(plugin, kCommandPluginSelect, QStringLiteral("選択(&L)"));
  AddCommand(plugin, kCommandPluginConfig, QStringLiteral("設定(&S)"));
  AddCommand(plugin, kCommandPluginKeys, QStringLiteral("キー設定(&K)"));

  QMenu* quick = bar->addMenu(QStringLiteral("クイック(&Q)"));
  AddCommand(quick, kCommandQuickMemo, QStringLiteral("メモ(&M)"));
  AddCommand(quick, kCommandQuickSearch, QStringLiteral("検索(&S)"));
  QMenu* other = quick->addMenu(QStringLiteral("その他(&O)"));
  AddCommand(other, kCommandQuickCalendar, QStringLiteral("カレンダー(&C)"));
  AddCommand(other, kCommandQuickSchedule, QStringLiteral("予定・仕事(&S)"));
  AddCommand(other, kCommandQuickDiary, QStringLiteral("日記・メモ(&D)"));
  AddCommand(other, kCommandQuickWeather, QStringLiteral("天気予報(&T)"));
  AddCommand(other, kCommandQuickIcon, QStringLiteral("アイコン(&I)"));

  for (QMenu* menu : bar->findChildren<QMenu*>())
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::BuildToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("128"));
  bar->setObjectName(QStringLiteral("128"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar->addAction(actions_.at(kCommandNewWindow));
  bar->addAction(actions_.at(kCommandMaximize));
  bar->addAction(actions_.at(kCommandCloseWindow));
  bar->addSeparator();
  bar->addAction(actions_.at(kCommandPluginSelect));
}

void CMainFrame::BuildAccelerators() {
  const struct {
    int id;
    QKeySequence keys;
  } table[] = {
      {kCommandCloseWindow, QKeySequence(Qt::CTRL | Qt::Key_C)},
      {kCommandNewWindow, QKeySequence(Qt::CTRL | Qt::Key_N)},
      {kCommandPluginSelect, QKeySequence(Qt::CTRL | Qt::Key_P)},
      {kCommandQuickMemo, QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {kCommandToday, QKeySequence(Qt::CTRL | Qt::Key_T)},
      {kCommandToBottom, QKeySequence(Qt::CTRL | Qt::Key_Down)},
      {kCommandDownOne, QKeySequence(Qt::CTRL | Qt::Key_Left)},
      {kCommandUpOne, QKeySequence(Qt::CTRL | Qt::Key_Right)},
      {kCommandToTop, QKeySequence(Qt::CTRL | Qt::Key_Up)},
      {kCommandMaximize, QKeySequence(Qt::CTRL | Qt::Key_X)},
  };
  for (const auto& entry : table) actions_.at(entry.id)->setShortcut(entry.keys);
}

QAction* CMainFrame::Command(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

namespace {

// Keeps `function` for the command, or forgets the command's entry for an empty one.
template <typename Function>
void Keep(std::map<int, Function>& table, int id, Function function) {
  if (function)
    table[id] = std::move(function);
  else
    table.erase(id);
}

}  // namespace

void CMainFrame::SetCommandHandler(int id, std::function<void()> handler) {
  QAction* action = Command(id);
  if (action == nullptr) return;
  Keep(handlers_, id, std::move(handler));
  action->setEnabled(CommandAllowed(id));
}

void CMainFrame::SetCommandUpdate(int id, std::function<bool()> enabled) {
  QAction* action = Command(id);
  if (action == nullptr) return;
  Keep(updates_, id, std::move(enabled));
  action->setEnabled(CommandAllowed(id));
}

bool CMainFrame::CommandAllowed(int id) const {
  if (handlers_.count(id) == 0) return false;
  auto update = updates_.find(id);
  return update == updates_.end() || update->second();
}

void CMainFrame::UpdateCommands() {
  for (const auto& [id, update] : updates_) {
    if (QAction* action = Command(id)) action->setEnabled(CommandAllowed(id));
  }
}

bool CMainFrame::HasCommandHandler(int id) const {
  return handlers_.count(id) != 0;
}

bool CMainFrame::RunCommand(int id) {
  auto it = handlers_.find(id);
  if (it == handlers_.end()) return false;
  // An accelerator can reach a command whose state changed since its menu last opened.
  if (!CommandAllowed(id)) {
    if (QAction* action = Command(id)) action->setEnabled(false);
    return false;
  }
  // A copy: the handler may replace itself.
  std::function<void()> handler = it->second;
  handler();
  return true;
}

void CMainFrame::SetDialupChecked(bool checked) {
  if (QAction* action = Command(kCommandDialupToggle)) action->setChecked(checked);
}

void CMainFrame::OnMessage(uint32_t message, uintptr_t, intptr_t) {
  if (message == kCloseMessage) close();
}

void CMainFrame::OnTimer(uint32_t) {}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) UpdateCommands();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Settings and layout are saved and the plugins unloaded while every widget still exists.
  view_->OnDestroy();
  event->accept();
}

}  // namespace yk
