#include <gtest/gtest.h>

#include <QApplication>

// Window tests run inside one QApplication on the offscreen platform, so they
// never reach the real desktop.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
