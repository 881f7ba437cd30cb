#include "platform/messages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <functional>
#include <vector>

#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

struct Recorder : MessageTarget {
  std::vector<uint32_t> messages;
  std::vector<uintptr_t> wParams;
  std::vector<uint32_t> ticks;
  std::function<void(uint32_t)> onMessage;
  void OnMessage(uint32_t message, uintptr_t w, intptr_t) override {
    messages.push_back(message);
    wParams.push_back(w);
    if (onMessage) onMessage(message);
  }
  void OnTimer(uint32_t id) override { ticks.push_back(id); }
};

// Runs the event loop until `done` or a generous bound (the bound only prevents a hang).
template <typename Done>
void RunEventsUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(Messages, PostedMessagesArriveInOrderOnlyFromTheEventLoop) {
  testing::App();
  Recorder a, b;
  Handle wa = RegisterWindow(&a), wb = RegisterWindow(&b);
  ASSERT_NE(wa, 0u);
  EXPECT_EQ(TargetOf(wa), &a);
  EXPECT_TRUE(PostMessage(wa, 0x401, 1));
  EXPECT_TRUE(PostMessage(wb, 0x402, 2));
  EXPECT_TRUE(PostMessage(wa, 0x403, 3));
  EXPECT_TRUE(a.messages.empty()) << "never delivered inside PostMessage";
  EXPECT_EQ(PendingMessageCount(), 3u);
  RunEventsUntil([&] { return a.messages.size() == 2 && b.messages.size() == 1; });
  EXPECT_EQ(a.messages, (std::vector<uint32_t>{0x401, 0x403}));
  EXPECT_EQ(a.wParams, (std::vector<uintptr_t>{1, 3}));
  EXPECT_EQ(b.messages, (std::vector<uint32_t>{0x402}));
  EXPECT_EQ(PendingMessageCount(), 0u);
  UnregisterWindow(wa);
  UnregisterWindow(wb);
}

TEST(Messages, HandlerPostingAgainWaitsForTheNextRound) {
  testing::App();
  Recorder a;
  Handle w = RegisterWindow(&a);
  a.onMessage = [&](uint32_t m) {
    if (m == 1) PostMessage(w, 2);
  };
  PostMessage(w, 1);
  EXPECT_EQ(DeliverPostedMessages(), 1u);
  EXPECT_EQ(a.messages, (std::vector<uint32_t>{1}));
  EXPECT_EQ(DeliverPostedMessages(), 1u);
  EXPECT_EQ(a.messages, (std::vector<uint32_t>{1, 2}));
  UnregisterWindow(w);
}

TEST(Messages, UnregisteringDropsMessagesAndTimers) {
  testing::App();
  Recorder a;
  Handle w = RegisterWindow(&a);
  PostMessage(w, 7);
  ASSERT_TRUE(SetTimer(w, 10, 1000));
  UnregisterWindow(w);
  EXPECT_EQ(TargetOf(w), nullptr);
  EXPECT_EQ(PendingMessageCount(), 0u);
  EXPECT_FALSE(TimerRunning(w, 10));
  EXPECT_EQ(DeliverPostedMessages(), 0u);
  EXPECT_TRUE(a.messages.empty());
  EXPECT_FALSE(PostMessage(w, 8)) << "stale window";
  EXPECT_FALSE(SetTimer(w, 10, 1000));
  EXPECT_FALSE(PostMessage(0, 8));
}

TEST(Messages, TimersStartRestartStopAndFire) {
  testing::App();
  Recorder a;
  Handle w = RegisterWindow(&a);
  EXPECT_FALSE(FireTimer(w, 12)) << "not running";
  ASSERT_TRUE(SetTimer(w, 12, 1000));
  EXPECT_EQ(TimerPeriod(w, 12), 1000u);
  ASSERT_TRUE(SetTimer(w, 12, 500)) << "setting again changes the period";
  EXPECT_EQ(TimerPeriod(w, 12), 500u);
  ASSERT_TRUE(SetTimer(w, 11, 1000));
  EXPECT_TRUE(FireTimer(w, 12));
  EXPECT_TRUE(FireTimer(w, 11));
  EXPECT_EQ(a.ticks, (std::vector<uint32_t>{12, 11}));
  EXPECT_TRUE(KillTimer(w, 12));
  EXPECT_FALSE(KillTimer(w, 12));
  EXPECT_FALSE(FireTimer(w, 12));
  EXPECT_TRUE(TimerRunning(w, 11));
  EXPECT_EQ(TimerPeriod(w, 12), 0u);
  UnregisterWindow(w);
}

TEST(Messages, RunningTimerTicksThroughTheEventLoop) {
  testing::App();
  Recorder a;
  Handle w = RegisterWindow(&a);
  ASSERT_TRUE(SetTimer(w, 13, 1));
  RunEventsUntil([&] { return a.ticks.size() >= 3; });
  KillTimer(w, 13);
  ASSERT_GE(a.ticks.size(), 3u);
  for (uint32_t id : a.ticks) EXPECT_EQ(id, 13u);
  size_t seen = a.ticks.size();
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(a.ticks.size(), seen) << "no tick after KillTimer";
  UnregisterWindow(w);
}

}  // namespace
}  // namespace platform
