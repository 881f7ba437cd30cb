// modal_script.h — test helpers that drive Qt dialogs the way a user does: modal dialogs
// answered in order as they open (also when one opens from inside another), and a double
// tap delivered as a desktop delivers it.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <set>
#include <utility>

namespace platform::testing {

// Each expected title gets its handler once, in order, as soon as a dialog of that title
// is the active modal one.  Dialogs that are not expected next (a progress dialog on its
// way) are let be.  A handler that leaves its dialog open leaves it to the code under test.
class ModalScript {
 public:
  ModalScript() {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(5);
  }
  ModalScript& Expect(const QString& title, std::function<void(QDialog*)> handler) {
    steps_.emplace_back(title, std::move(handler));
    return *this;
  }
  // Every expected dialog was seen.
  bool done() const { return steps_.empty(); }

 private:
  void Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || steps_.empty() || handled_.count(dialog) != 0) return;
    if (dialog->windowTitle() != steps_.front().first) return;
    handled_.insert(dialog);
    // Run from a timer of its own: a handler that opens the next dialog waits inside it,
    // and Qt doesn't fire this poll again while its own call is still running.
    QTimer::singleShot(0, dialog,
                       [dialog, handler = std::move(steps_.front().second)] { handler(dialog); });
    steps_.pop_front();
  }

  QTimer poll_;
  std::deque<std::pair<QString, std::function<void(QDialog*)>>> steps_;
  std::set<QDialog*> handled_;
};

// A double tap as a desktop delivers it: press, release, the second press followed by the
// double-click event, and the release.
inline void DoubleTapAt(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  QTest::mousePress(widget, Qt::LeftButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

}  // namespace platform::testing
