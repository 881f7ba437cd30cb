#include "host/tavik_view.h"

#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include "common/bitmap_ops.h"
#include "host/about_dialog.h"
#include "host/main_frame.h"
#include "host/plugin_host.h"
#include "host/settings_commands.h"
#include "host/settings_dialog.h"
#include "host/theme_dialog.h"
#include "host/theme_parts.h"
#include "host/window_manager.h"
#include "platform/text_codec.h"
#include "platform/virtual_keys.h"

namespace yk {
namespace {

// A bottom-up 24-bit buffer as an image (upside down: the painter flips it back).
QImage BufferImage(const PixelBuffer& buffer) {
  return QImage(buffer.bits, buffer.width, buffer.height, qsizetype(buffer.width) * 3,
                QImage::Format_BGR888);
}

}  // namespace

CTavikView::CTavikView(QSize clientSize, std::u16string appFolder, platform::Handle app)
    : clientSize_(clientSize), appFolder_(std::move(appFolder)), app_(app), session_(*this) {
  setFixedSize(clientSize_);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  handle_ = platform::RegisterWindow(this);
}

CTavikView::~CTavikView() {
  OnDestroy();
  platform::UnregisterWindow(handle_);
}

bool CTavikView::OnCreate() {
  HostSession::CreateParams params;
  params.clientWidth = clientSize_.width();
  params.clientHeight = clientSize_.height();
  params.appFolder = appFolder_;
  params.app = app_;
  return session_.Create(params);
}

bool CTavikView::OnInitialUpdate(CMainFrame& frame) {
  frame_ = &frame;
  if (!session_.ready()) return false;
  frame.setWindowTitle(QStringLiteral("Yomitoki"));
  RegisterCommands(frame);
  HostSession::Header header;
  header.viewWindow = handle_;
  header.frameWindow = frame.windowHandle();
  header.mainWnd = frame.windowHandle();
  header.clientWidth = width();
  header.clientHeight = height();
  frame.SetDialupChecked(session_.host()->dialUse != 0);
  return session_.InitialUpdate(header);
}

void CTavikView::OnDestroy() {
  session_.Destroy();
}

void CTavikView::RegisterCommands(CMainFrame& frame) {
  WindowManager* windows = session_.windows();
  for (int id : {kCommandCloseWindow, kCommandNewWindow, kCommandMaximize, kCommandUpOne,
                 kCommandDownOne, kCommandToTop, kCommandToBottom, kCommandToday}) {
    frame.SetCommandHandler(id, [windows, id] { (void)windows->HandleCommand(id); });
  }
  PluginHost* plugins = session_.plugins();
  frame.SetCommandHandler(kCommandPluginConfig, [plugins] { plugins->ConfigureActivePlugin(); });
  frame.SetCommandHandler(kCommandWindowSettings, [this] { OnWindowSettings(); });
  frame.SetCommandHandler(kCommandTheme, [this] { OnChooseTheme(); });
  frame.SetCommandHandler(kCommandWallpaper, [this] { OnChooseWallpaper(); });
  frame.SetCommandHandler(kCommandWallpaperNone, [this] { session_.RemoveWallpaper(); });
  frame.SetCommandUpdate(kCommandWallpaperNone, [this] {
    return session_.ready() && !session_.settings().wallpaper.empty();
  });
  frame.SetCommandHandler(kCommandDataRefresh, [this] { session_.DataRefresh(); });
  frame.SetCommandHandler(kCommandDialupToggle,
                          [this, &frame] { frame.SetDialupChecked(session_.ToggleDialUse()); });
  RegisterSettingsCommands(frame, *this);
  frame.SetCommandHandler(kCommandAbout, [this] { OnAbout(); });
  frame.SetCommandHandler(kCommandExit, [&frame] { frame.close(); });
}

void CTavikView::OnWindowSettings() {
  if (!session_.ready()) return;
  const WindowSettings& current = session_.windows()->settings();
  WindowSettingsFields fields;
  fields.focusMode = current.focusMode ? 1 : 0;
  fields.translucent = current.translucent ? 1 : 0;
  fields.gridStep = current.gridStep;
  fields.pluginButton = current.pluginButtonAction;
  SettingsDialog dialog(fields, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const WindowSettingsFields& chosen = dialog.fields();
  session_.ApplyWindowSettings(chosen.focusMode != 0, chosen.translucent != 0, chosen.gridStep,
                               chosen.pluginButton);
}

void CTavikView::OnChooseTheme() {
  if (!session_.ready()) return;
  ThemeDialog dialog(ListThemeFiles(AppFolderPath(*session_.host()) / "theme"), this);
  if (dialog.exec() != QDialog::Accepted || dialog.chosen().empty()) return;
  (void)session_.ApplyTheme(dialog.chosen());
}

void CTavikView::OnChooseWallpaper() {
  if (!session_.ready()) return;
  QFileDialog dialog(this);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("Jpeg Files (*.jpg)"), QStringLiteral("All Files (*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("BMP"));
  const QString current = QString::fromStdU16String(session_.settings().wallpaper);
  if (!current.isEmpty()) dialog.selectFile(current);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  session_.ApplyWallpaper(dialog.selectedFiles().front().toStdU16String());
}

void CTavikView::OnAbout() {
  // The program's icon: the plugin button of the current theme, doubled.
  QPixmap icon;
  if (session_.ready()) {
    PixelBuffer parts = PartsBuffer(*session_.host());
    QImage sheet = BufferImage(parts).mirrored();
    icon = QPixmap::fromImage(sheet.copy(0, 0, 20, 20).scaled(40, 40));
  }
  AboutDialog dialog(icon, this);
  dialog.exec();
}

void CTavikView::Present(int x, int y, int width, int height) {
  ++presentCount_;
  update(QRect(x, y, width, height));
}

// Qt keeps sending moves and the release to the widget that got the press, even outside it.
void CTavikView::CaptureStylus() {}
void CTavikView::ReleaseStylus() {}

void CTavikView::StartTimer(int id, int milliseconds) {
  platform::SetTimer(handle_, uint32_t(id), uint32_t(std::max(milliseconds, 1)));
}

void CTavikView::StopTimer(int id) {
  (void)platform::KillTimer(handle_, uint32_t(id));
}

void CTavikView::OnMessage(uint32_t message, uintptr_t, intptr_t) {
  if (message == kRequestMessage && session_.ready()) session_.plugins()->HandleRequestMessage();
}

void CTavikView::OnTimer(uint32_t id) {
  if (id >= uint32_t(kPluginTimerBase) && session_.ready())
    session_.plugins()->HandleTimer(int(id));
}

void CTavikView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!session_.ready()) {
    painter.fillRect(rect(), Qt::white);
    return;
  }
  const HostContext& host = *session_.host();
  PixelBuffer screen = ScreenBuffer(host);
  if (screen.bits == nullptr) return;
  // The buffer's rows are stored bottom-up: copy the exposed part and turn it upright.
  const QRect exposed = event->rect() & QRect(0, 0, host.bufferWidth, host.bufferHeight);
  if (exposed.isEmpty()) return;
  const QRect stored(exposed.x(), host.bufferHeight - 1 - exposed.bottom(), exposed.width(),
                     exposed.height());
  painter.drawImage(exposed.topLeft(), BufferImage(screen).copy(stored).mirrored());
}

void CTavikView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !session_.ready()) return;
  QPoint p = event->position().toPoint();
  session_.windows()->StylusDown(p.x(), p.y());
}

void CTavikView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !session_.ready()) return;
  QPoint p = event->position().toPoint();
  session_.windows()->StylusDoubleDown(p.x(), p.y());
}

void CTavikView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !session_.ready()) return;
  QPoint p = event->position().toPoint();
  session_.windows()->StylusMove(p.x(), p.y());
}

void CTavikView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !session_.ready()) return;
  QPoint p = event->position().toPoint();
  session_.windows()->StylusUp(p.x(), p.y());
}

void CTavikView::keyPressEvent(QKeyEvent* event) {
  int key =
      platform::VirtualKeyFromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
  if (key == 0 || !session_.ready()) return QWidget::keyPressEvent(event);
  session_.windows()->KeyDown(key);
}

void CTavikView::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats its press only, as on the handheld.
  if (event->isAutoRepeat()) return;
  int key =
      platform::VirtualKeyFromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
  if (key == 0 || !session_.ready()) return QWidget::keyReleaseEvent(event);
  session_.windows()->KeyUp(key);
}

// Tab is a key like any other for the plugins.
bool CTavikView::focusNextPrevChild(bool) {
  return false;
}

}  // namespace yk
