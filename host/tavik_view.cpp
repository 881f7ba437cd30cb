#include "host/tavik_view.h"

#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QWindow>
#include <cmath>

#include "common/bitmap_ops.h"
#include "host/about_dialog.h"
#include "host/main_frame.h"
#include "host/main_window_state.h"
#include "host/plugin_host.h"
#include "host/screen_image.h"
#include "host/settings_commands.h"
#include "host/settings_dialog.h"
#include "host/theme_dialog.h"
#include "host/theme_parts.h"
#include "host/window_manager.h"
#include "platform/text_codec.h"
#include "platform/virtual_keys.h"

namespace yk {
namespace {

// The smallest view still holds a new window: 240 x 100 and the 50 rows kept below its top.
constexpr int kSmallestViewWidth = kNewWindowWidth;
constexpr int kSmallestViewHeight = 150;

}  // namespace

CTavikView::CTavikView(QSize bufferSize, QSize initialSize, int scaleChoice,
                       std::u16string appFolder, platform::Handle app)
    : bufferSize_(bufferSize),
      initialSize_(initialSize),
      scaleChoice_(ScaleChoiceFromStored(scaleChoice)),
      appFolder_(std::move(appFolder)),
      app_(app),
      session_(*this) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  handle_ = platform::RegisterWindow(this);
  UpdateScale();
}

CTavikView::~CTavikView() {
  OnDestroy();
  platform::UnregisterWindow(handle_);
}

bool CTavikView::OnCreate() {
  HostSession::CreateParams params;
  params.clientWidth = bufferSize_.width();
  params.clientHeight = bufferSize_.height();
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
  UpdateScale();
  header.clientWidth = scale_.HostExtent(width());
  header.clientHeight = scale_.HostExtent(height());
  frame.SetDialupChecked(session_.host()->dialUse != 0);
  if (!session_.InitialUpdate(header)) return false;
  initialized_ = true;
  // Moved to a screen of another density: the automatic factor follows it.
  if (QWindow* window = frame.QWidget::windowHandle())
    connect(window, &QWindow::screenChanged, this, [this] { UpdateScale(); });
  UpdateClientSize();
  return true;
}

void CTavikView::OnDestroy() {
  if (session_.ready() && frame_ != nullptr) {
    const QRect normal = frame_->normalGeometry();
    MainWindowState state;
    state.frame = {normal.x(), normal.y(), normal.width(), normal.height()};
    state.maximized = frame_->isMaximized();
    state.scale = scaleChoice_;
    WriteMainWindowState(app_, state);
  }
  session_.Destroy();
}

void CTavikView::SetScaleChoice(int choice) {
  scaleChoice_ = ScaleChoiceFromStored(choice);
  WriteScaleChoice(app_, scaleChoice_);
  UpdateScale();
}

void CTavikView::UpdateScale() {
  const double ratio = devicePixelRatioF();
  scale_ = DisplayScale(ScaleFactor(scaleChoice_, ratio), ratio);
  setMinimumSize(scale_.LogicalExtent(std::min(kSmallestViewWidth, bufferSize_.width())),
                 scale_.LogicalExtent(std::min(kSmallestViewHeight, bufferSize_.height())));
  UpdateClientSize();
  update();
}

void CTavikView::UpdateClientSize() {
  if (!initialized_ || !session_.ready()) return;
  session_.windows()->SetClientSize(scale_.HostExtent(width()), scale_.HostExtent(height()));
}

QPoint CTavikView::HostPoint(const QPointF& logical) const {
  return QPoint(scale_.ToHost(logical.x()), scale_.ToHost(logical.y()));
}

void CTavikView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateClientSize();
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
  fields.scale = scaleChoice_;
  SettingsDialog dialog(fields, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const WindowSettingsFields& chosen = dialog.fields();
  session_.ApplyWindowSettings(chosen.focusMode != 0, chosen.translucent != 0, chosen.gridStep,
                               chosen.pluginButton);
  if (chosen.scale != scaleChoice_) SetScaleChoice(chosen.scale);
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
    icon = QPixmap::fromImage(ScreenImage(PartsBuffer(*session_.host()), 0, 0, 20, 20, 2));
  }
  AboutDialog dialog(icon, this);
  dialog.exec();
}

void CTavikView::Present(int x, int y, int width, int height) {
  ++presentCount_;
  const double left = scale_.ToLogical(x), top = scale_.ToLogical(y);
  const double right = scale_.ToLogical(x + width), bottom = scale_.ToLogical(y + height);
  update(QRect(QPoint(int(std::floor(left)), int(std::floor(top))),
               QPoint(int(std::ceil(right)) - 1, int(std::ceil(bottom)) - 1)));
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
  const QRect exposed = event->rect();
  if (!session_.ready()) {
    painter.fillRect(exposed, Qt::white);
    return;
  }
  const HostContext& host = *session_.host();
  PixelBuffer screen = ScreenBuffer(host);
  if (screen.bits == nullptr) return;
  // What the buffers hold ends at the client size; a view larger than that (a smaller
  // factor chosen while running) shows the frame's colour beyond it.
  const QRect client(0, 0, scale_.LogicalExtent(host.clientWidth),
                     scale_.LogicalExtent(host.clientHeight));
  const QRegion beyond = QRegion(exposed) - client;
  for (const QRect& r : beyond) painter.fillRect(r, palette().window());

  // The host pixels under the exposed rectangle.
  const int left = std::max(0, scale_.ToHost(exposed.left()));
  const int top = std::max(0, scale_.ToHost(exposed.top()));
  const int right = std::min(host.clientWidth, scale_.ToHostEnd(exposed.right() + 1));
  const int bottom = std::min(host.clientHeight, scale_.ToHostEnd(exposed.bottom() + 1));
  if (left >= right || top >= bottom) return;
  // Upright, each host pixel a factor x factor square of device pixels.
  QImage part = ScreenImage(screen, left, top, right - left, bottom - top, scale_.factor());
  part.setDevicePixelRatio(scale_.ratio());
  painter.drawImage(QPointF(scale_.ToLogical(left), scale_.ToLogical(top)), part);
}

void CTavikView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !session_.ready()) return;
  const QPoint p = HostPoint(event->position());
  session_.windows()->StylusDown(p.x(), p.y());
}

void CTavikView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !session_.ready()) return;
  const QPoint p = HostPoint(event->position());
  session_.windows()->StylusDoubleDown(p.x(), p.y());
}

void CTavikView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !session_.ready()) return;
  const QPoint p = HostPoint(event->position());
  session_.windows()->StylusMove(p.x(), p.y());
}

void CTavikView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !session_.ready()) return;
  const QPoint p = HostPoint(event->position());
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
