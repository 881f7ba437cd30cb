// tavik_view.h — the host view: the widget that fills the main window, shows the
// composition buffer and hands stylus, keys, the request message 0x401 and the plugin
// timers to the host.  The host's life itself (buffers, settings, windows) is a
// HostSession; this class only binds it to Qt.
//
// Every buffer of the Host context is allocated once, at creation, for the desktop's
// available screen area (in host pixels, display_scale.h) and never reallocated.  The view
// itself can take any size: it shows as much of the buffers as it holds, tells the window
// manager its size in host pixels at every resize (windows come back within reach) and
// draws each host pixel as a factor x factor square of device pixels.
#pragma once

#include <QSize>
#include <QWidget>
#include <string>

#include "host/display_scale.h"
#include "host/host_session.h"
#include "host/view_port.h"
#include "platform/messages.h"

namespace yk {

class CMainFrame;

inline constexpr QSize kDefaultClientSize(800, 600);

class CTavikView : public QWidget, public ViewPort, public platform::MessageTarget {
  Q_OBJECT

 public:
  // `bufferSize`: the host pixels every buffer holds; `initialSize`: the view's size in
  // logical pixels when the main window has no stored size; `scaleChoice`: 表示倍率, 0
  // automatic or 1..3.  `appFolder` ends in '/'; `app` is the application object whose
  // profile holds the settings.
  CTavikView(QSize bufferSize, QSize initialSize, int scaleChoice, std::u16string appFolder,
             platform::Handle app);
  ~CTavikView() override;

  // The creation handler: false when the Host context or a buffer could not be made or the
  // data file did not load (the message has been shown).
  [[nodiscard]] bool OnCreate();
  // The initial update, once the frame exists: false when creation had failed, and the
  // program must end without saving.  Registers the view's commands with the frame.
  [[nodiscard]] bool OnInitialUpdate(CMainFrame& frame);
  // The destruction handler: saves the main window's place and size, the settings and the
  // layout, and releases everything; runs once.
  void OnDestroy();

  HostSession& session() { return session_; }
  platform::Handle windowHandle() const { return handle_; }
  QSize bufferSize() const { return bufferSize_; }
  const DisplayScale& scale() const { return scale_; }
  int scaleChoice() const { return scaleChoice_; }
  // 表示倍率 from the settings dialog: applies at once and is stored ("scale").
  void SetScaleChoice(int choice);
  QSize sizeHint() const override { return initialSize_; }

  // ViewPort
  void Present(int x, int y, int width, int height) override;
  void CaptureStylus() override;
  void ReleaseStylus() override;
  void StartTimer(int id, int milliseconds) override;
  void StopTimer(int id) override;

  // platform::MessageTarget: the request message and the plugin timers.
  void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(uint32_t id) override;

  // The commands this view carries out (the frame's handlers call these).
  void OnWindowSettings();
  void OnChooseTheme();
  void OnChooseWallpaper();
  void OnAbout();

  // How many times the composition buffer was presented (for the start-up benchmark).
  int presentCount() const { return presentCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void RegisterCommands(CMainFrame& frame);
  // The factor for the screen the view is on now, then the client size.
  void UpdateScale();
  // Tells the window manager how many host pixels the view shows.
  void UpdateClientSize();
  // A stylus position in host pixels.
  QPoint HostPoint(const QPointF& logical) const;

  QSize bufferSize_;
  QSize initialSize_;
  int scaleChoice_ = kAutomaticScale;
  DisplayScale scale_;
  bool initialized_ = false;  // after the initial update: resizes reach the window manager
  std::u16string appFolder_;
  platform::Handle app_;
  platform::Handle handle_ = 0;
  HostSession session_;
  CMainFrame* frame_ = nullptr;
  int presentCount_ = 0;
};

}  // namespace yk
