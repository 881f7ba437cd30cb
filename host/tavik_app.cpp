#include "host/tavik_app.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>

#include "host/display_scale.h"
#include "host/keyboard_return.h"
#include "host/main_frame.h"
#include "host/main_window_state.h"
#include "host/tavik_view.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/qt_message_box.h"
#include "platform/qt_single_instance.h"
#include "platform/qt_translations.h"

namespace yk {
namespace {

// Written by the signal handler, read by the event loop.
int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

CTavikApp::CTavikApp() = default;

CTavikApp::~CTavikApp() {
  frame_.reset();
  if (app_ != 0) platform::ReleaseApplication(app_);
}

bool CTavikApp::InitInstance(const Options& options) {
  WatchTerminationSignals();
  // Qt's own buttons and dialogs speak Japanese like the rest (English when the catalogue
  // is missing).
  if (QCoreApplication* qt = QCoreApplication::instance())
    (void)platform::InstallQtTranslations(*qt);
  if (options.singleInstance) {
    instance_ = std::make_unique<platform::SingleInstance>(
        QString::fromStdU16String(platform::kHostProgramName));
    if (instance_->AnotherCopyRuns()) return false;
    connect(instance_.get(), &platform::SingleInstance::activationRequested, this,
            &CTavikApp::BringToFront);
  }

  app_ = platform::RegisterApplication(platform::OpenSettingsProfile(platform::kHostProgramName));

  std::u16string folder =
      options.appFolder.empty() ? platform::ExecutableFolder() : options.appFolder;
  const MainWindowState state = ReadMainWindowState(app_);
  // The screens' available areas, the primary first, and the one the window opens on.
  QList<QScreen*> screens = QGuiApplication::screens();
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    screens.removeAll(primary);
    screens.prepend(primary);
  }
  std::vector<ScreenRect> areas;
  for (QScreen* screen : screens) {
    const QRect a = screen->availableGeometry();
    areas.push_back({a.x(), a.y(), a.width(), a.height()});
  }
  const int index = ScreenOfFrame(state.frame, areas);
  QScreen* screen = index >= 0 ? screens[index] : nullptr;
  QSize area = options.availableArea;
  if (area.isEmpty()) area = screen ? screen->availableGeometry().size() : options.clientSize;
  const double ratio = screen ? screen->devicePixelRatio() : 1.0;
  const DisplayScale scale(ScaleFactor(state.scale, ratio), ratio);
  const QSize buffers(std::max(1, scale.HostExtent(area.width())),
                      std::max(1, scale.HostExtent(area.height())));

  view_ = new CTavikView(buffers, options.clientSize, state.scale, folder, app_);
  frame_ = std::make_unique<CMainFrame>(view_);
  new KeyboardReturn(frame_.get());  // owned by the frame
  // Message boxes that come with no dialog open belong to the main window.
  platform::SetMessageBoxOwner(frame_.get());
  bool created = view_->OnCreate();
  if (created) {
    for (const Extension& extension : extensions_) extension(*frame_, *view_);
    const ScreenRect placed = PlaceMainWindow(state.frame, areas);
    if (placed.empty()) {
      // A top-level window would be kept to two thirds of the screen: the view gets its size.
      frame_->resize(frame_->sizeHint());
    } else {
      frame_->setGeometry(placed.left, placed.top, placed.width, placed.height);
    }
    if (state.maximized) {
      frame_->showMaximized();
    } else {
      frame_->show();
    }
  }
  if (!view_->OnInitialUpdate(*frame_)) {
    // Nothing was saved: the stored settings stay as they were.
    frame_->close();
    return false;
  }
  started_ = true;
  return true;
}

void CTavikApp::CloseWhenIdle() {
  if (closing_) return;
  closing_ = true;
  auto* poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, [this, poll] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      modal->close();
      return;
    }
    if (!started_) return;
    poll->stop();
    poll->deleteLater();
    if (frame_) frame_->close();
  });
  poll->start(50);
}

void CTavikApp::BringToFront() {
  if (!frame_) return;
  if (frame_->isMinimized()) frame_->showNormal();
  frame_->raise();
  frame_->activateWindow();
}

void CTavikApp::WatchTerminationSignals() {
  if (g_signalPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
  signalNotifier_ = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
  connect(signalNotifier_, &QSocketNotifier::activated, this, [this] {
    char byte = 0;
    [[maybe_unused]] ssize_t got = ::read(g_signalPipe[0], &byte, 1);
    CloseWhenIdle();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace yk
