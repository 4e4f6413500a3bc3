// Runs the Qt window suites inside one QApplication.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // CTest sets the offscreen platform; this also lets the suite be listed or run by
  // hand where no display is open.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // CTest runs the suites side by side, each test in a process of its own; one
  // settings file shared by all would see a neighbour clear it mid-test.
  const QTemporaryDir settingsHome;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsHome.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
