// Runs a test program's tests inside a QApplication. The settings store's
// location is pointed at a fresh temporary folder, and where no platform is
// chosen (test discovery at build time runs without the test environment)
// the offscreen platform is used, so no display is needed.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    QTemporaryDir configHome;
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
