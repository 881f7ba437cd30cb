// Posted messages and timers on the Qt event loop.  One dispatcher object lives on the
// user-interface thread: posting queues the message here and asks the event loop (through
// a queued call) to deliver the queue; timers are QObject timers of the dispatcher.
#include <QCoreApplication>
#include <QObject>
#include <QTimerEvent>
#include <deque>
#include <map>
#include <unordered_map>

#include "platform/handle_registry.h"
#include "platform/messages.h"

namespace platform {
namespace {

struct Posted {
  Handle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

struct TimerKey {
  Handle window;
  uint32_t id;
  auto operator<=>(const TimerKey&) const = default;
};

struct RunningTimer {
  int qtId;
  uint32_t ms;
};

class Dispatcher : public QObject {
 public:
  std::unordered_map<Handle, MessageTarget*> targets;
  std::deque<Posted> queue;
  std::map<TimerKey, RunningTimer> timers;
  std::unordered_map<int, TimerKey> byQtId;
  bool deliveryScheduled = false;

  void ScheduleDelivery() {
    if (deliveryScheduled) return;
    deliveryScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          deliveryScheduled = false;
          Deliver();
        },
        Qt::QueuedConnection);
  }

  size_t Deliver() {
    // Only what is queued now: a message posted by a handler waits for the next round.
    size_t count = queue.size();
    size_t delivered = 0;
    for (size_t i = 0; i < count && !queue.empty(); ++i) {
      Posted m = queue.front();
      queue.pop_front();
      auto it = targets.find(m.window);
      if (it == targets.end()) continue;
      it->second->OnMessage(m.message, m.wParam, m.lParam);
      ++delivered;
    }
    if (!queue.empty()) ScheduleDelivery();
    return delivered;
  }

  void Stop(std::map<TimerKey, RunningTimer>::iterator it) {
    killTimer(it->second.qtId);
    byQtId.erase(it->second.qtId);
    timers.erase(it);
  }

 protected:
  void timerEvent(QTimerEvent* event) override {
    auto it = byQtId.find(event->timerId());
    if (it == byQtId.end()) return;
    TimerKey key = it->second;
    auto target = targets.find(key.window);
    if (target != targets.end()) target->second->OnTimer(key.id);
  }
};

Dispatcher& D() {
  // Created on first use, which is on the user-interface thread.
  static Dispatcher* dispatcher = new Dispatcher;
  return *dispatcher;
}

}  // namespace

Handle RegisterWindow(MessageTarget* target) {
  if (target == nullptr) return 0;
  Handle handle = NewHandle();
  D().targets.emplace(handle, target);
  return handle;
}

void UnregisterWindow(Handle window) {
  auto& d = D();
  if (d.targets.erase(window) == 0) return;
  std::erase_if(d.queue, [window](const Posted& m) { return m.window == window; });
  for (auto it = d.timers.begin(); it != d.timers.end();) {
    auto next = std::next(it);
    if (it->first.window == window) d.Stop(it);
    it = next;
  }
}

MessageTarget* TargetOf(Handle window) {
  auto& d = D();
  auto it = d.targets.find(window);
  return it == d.targets.end() ? nullptr : it->second;
}

bool PostMessage(Handle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  auto& d = D();
  if (!d.targets.contains(window)) return false;
  d.queue.push_back({window, message, wParam, lParam});
  d.ScheduleDelivery();
  return true;
}

bool SetTimer(Handle window, uint32_t id, uint32_t ms) {
  auto& d = D();
  if (!d.targets.contains(window)) return false;
  if (ms < 1) ms = 1;
  TimerKey key{window, id};
  if (auto it = d.timers.find(key); it != d.timers.end()) d.Stop(it);
  int qtId = d.startTimer(std::chrono::milliseconds(ms));
  if (qtId == 0) return false;
  d.timers.emplace(key, RunningTimer{qtId, ms});
  d.byQtId.emplace(qtId, key);
  return true;
}

bool KillTimer(Handle window, uint32_t id) {
  auto& d = D();
  auto it = d.timers.find({window, id});
  if (it == d.timers.end()) return false;
  d.Stop(it);
  return true;
}

bool TimerRunning(Handle window, uint32_t id) {
  return D().timers.contains({window, id});
}

uint32_t TimerPeriod(Handle window, uint32_t id) {
  auto& d = D();
  auto it = d.timers.find({window, id});
  return it == d.timers.end() ? 0 : it->second.ms;
}

size_t DeliverPostedMessages() {
  return D().Deliver();
}

size_t PendingMessageCount() {
  return D().queue.size();
}

bool FireTimer(Handle window, uint32_t id) {
  auto& d = D();
  if (!d.timers.contains({window, id})) return false;
  auto target = d.targets.find(window);
  if (target == d.targets.end()) return false;
  target->second->OnTimer(id);
  return true;
}

}  // namespace platform
