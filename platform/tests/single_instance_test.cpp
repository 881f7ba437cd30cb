#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "platform/qt_single_instance.h"
#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

TEST(SingleInstance, SecondCopyAsksTheFirstToComeForward) {
  testing::App();
  QString name =
      u"yk-single-instance-test-"_qs + QString::number(QCoreApplication::applicationPid());
  SingleInstance first(name);
  int raised = 0;
  QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++raised; });
  ASSERT_FALSE(first.AnotherCopyRuns()) << "nobody runs yet";

  SingleInstance second(name);
  EXPECT_TRUE(second.AnotherCopyRuns());
  QElapsedTimer clock;
  clock.start();
  while (raised == 0 && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(raised, 1);
}

// Waiting for a copy to end asks nothing of it, and ends as soon as it is gone.
TEST(SingleInstance, WaitsUntilTheRunningCopyHasEnded) {
  testing::App();
  const QString name =
      u"yk-single-instance-wait-"_qs + QString::number(QCoreApplication::applicationPid());
  EXPECT_TRUE(SingleInstance::WaitUntilNoneRuns(name, 0)) << "nobody runs";
  auto running = std::make_unique<SingleInstance>(name);
  int raised = 0;
  QObject::connect(running.get(), &SingleInstance::activationRequested, [&] { ++raised; });
  ASSERT_FALSE(running->AnotherCopyRuns());
  EXPECT_FALSE(SingleInstance::WaitUntilNoneRuns(name, 200)) << "the copy still runs";
  QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  EXPECT_EQ(raised, 0) << "a waiting program does not bring the copy forward";
  running.reset();
  EXPECT_TRUE(SingleInstance::WaitUntilNoneRuns(name, 5000));
}

}  // namespace
}  // namespace platform
