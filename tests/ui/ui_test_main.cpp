#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>

int main(int argc, char** argv) {
  // As the programs do: a file-size limit reaches the log writer as EFBIG.
  ::signal(SIGXFSZ, SIG_IGN);
  // Listing the tests at build time needs no display either.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own file dialog, which a test can fill in and answer.
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
