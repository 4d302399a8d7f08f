#include <gtest/gtest.h>

#include <QApplication>

// Window tests need an application object. They run offscreen unless told otherwise, also
// when the build lists the tests, where no display may exist.
int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
