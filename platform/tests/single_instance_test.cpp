#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

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

}  // namespace
}  // namespace platform
