// messages.h — windows as message targets: posted messages and timers.
//
// A window handle names an object implementing MessageTarget.  PostMessage queues a message
// that the user-interface thread's event loop delivers later, in posting order (the host's
// request message 0x401 travels this way); SetTimer starts a repeating timer that calls
// OnTimer(id) on the same thread.  Deleting a target's registration drops its pending
// messages and stops its timers.
//
// Delivery happens only while the Qt event loop runs (or when a test calls
// DeliverPostedMessages / FireTimer), never inside PostMessage itself.  Everything here
// must be called on the user-interface thread, once a QCoreApplication exists.  Qt
// builds only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/handles.h"

namespace platform {

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
  virtual void OnTimer(uint32_t id) = 0;
};

// Registers a target and returns its window handle (never 0).  The target must outlive
// its registration.
Handle RegisterWindow(MessageTarget* target);

// Ends a registration: pending messages to it are dropped and its timers stopped.
void UnregisterWindow(Handle window);

// The target of a window handle; nullptr for 0 or a stale handle.
MessageTarget* TargetOf(Handle window);

// Queues a message; false for a stale window (nothing is queued).
bool PostMessage(Handle window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

// Starts (or restarts with the new period) the timer `id` of a window; ms < 1 is taken
// as 1.  False for a stale window.
bool SetTimer(Handle window, uint32_t id, uint32_t ms);

// Stops a timer; false when it was not running.
bool KillTimer(Handle window, uint32_t id);

// True while the timer runs; its period in ms (0 when not running).
bool TimerRunning(Handle window, uint32_t id);
uint32_t TimerPeriod(Handle window, uint32_t id);

// ---- For tests: deterministic delivery without waiting on the event loop.

// Delivers every message queued so far (messages posted during delivery wait for the
// next call) and returns how many were delivered.
size_t DeliverPostedMessages();

// Number of queued messages.
size_t PendingMessageCount();

// Calls OnTimer(id) of the window now, as if the timer fired; false when not running.
bool FireTimer(Handle window, uint32_t id);

}  // namespace platform
