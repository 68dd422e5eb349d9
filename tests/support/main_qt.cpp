#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>

#include "support/TestEnv.h"

// Tests that draw, use widgets or rely on the event loop share one
// QApplication on the offscreen platform, created before any test runs.
int main(int argc, char** argv) {
  qvtest::SetUpIsolatedEnvironment();
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
