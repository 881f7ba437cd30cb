// modal_script.h — test helpers that drive Qt dialogs the way a user does: modal dialogs
// answered in order as they open (also when one opens from inside another), and a double
// tap delivered as a desktop delivers it.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace platform::testing {

// Each expected dialog gets its handler once, in order, as soon as it is the active modal
// one: a dialog of a given title, of a given template number (its objectName, "144"), or
// whichever opens next.  Dialogs that are not expected next (a progress dialog on its way,
// a dialog another script answers) are let be.  The handler runs inside the dialog's modal
// loop; a dialog it leaves open is rejected afterwards, so a failed expectation inside a
// handler never hangs the run.
//
//   ModalScript choose("144", [](QDialog* dialog) { ... });   // one dialog
//   ModalScript script;                                       // several, in order
//   script.Expect(QStringLiteral("検索・置換"), ...).Expect(QStringLiteral("検索結果"), ...);
class ModalScript {
 public:
  using Handler = std::function<void(QDialog*)>;

  ModalScript() {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(5);
  }
  // A script of one step: the next dialog that opens.
  explicit ModalScript(Handler handler) : ModalScript() { ExpectAny(std::move(handler)); }
  // A script of one step: the next dialog with this template number.
  ModalScript(const char* id, Handler handler) : ModalScript() { ExpectId(id, std::move(handler)); }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  ModalScript& Expect(const QString& title, Handler handler) {
    steps_.push_back({Match::kTitle, title, std::move(handler)});
    return *this;
  }
  ModalScript& ExpectId(const char* id, Handler handler) {
    steps_.push_back({Match::kId, QString::fromUtf8(id), std::move(handler)});
    return *this;
  }
  ModalScript& ExpectAny(Handler handler) {
    steps_.push_back({Match::kAny, QString(), std::move(handler)});
    return *this;
  }

  // Every expected dialog was seen.
  bool done() const { return steps_.empty(); }

 private:
  enum class Match { kTitle, kId, kAny };
  struct Step {
    Match match;
    QString text;
    Handler handler;
    bool Matches(const QDialog& dialog) const {
      switch (match) {
        case Match::kTitle:
          return dialog.windowTitle() == text;
        case Match::kId:
          return dialog.objectName() == text;
        case Match::kAny:
          break;
      }
      return true;
    }
  };

  void Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible() || steps_.empty() || Handled(dialog)) return;
    if (!steps_.front().Matches(*dialog)) return;
    handled_.emplace_back(dialog);
    // Run from a timer of its own: a handler that opens the next dialog waits inside it,
    // and Qt doesn't fire this poll again while its own call is still running.
    QTimer::singleShot(
        0, dialog,
        [shown = QPointer<QDialog>(dialog), handler = std::move(steps_.front().handler)] {
          if (handler) handler(shown);
          if (shown && shown->isVisible()) shown->reject();
        });
    steps_.pop_front();
  }

  // Whether `dialog` is being answered.  One that has closed or gone no longer counts: it may
  // be shown again, or a new one made at the same address.
  bool Handled(const QDialog* dialog) {
    std::erase_if(handled_, [](const QPointer<QDialog>& seen) {
      return seen.isNull() || !seen->isVisible();
    });
    return std::any_of(handled_.begin(), handled_.end(),
                       [dialog](const QPointer<QDialog>& seen) { return seen == dialog; });
  }

  QTimer poll_;
  std::deque<Step> steps_;
  std::vector<QPointer<QDialog>> handled_;
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
