#include <gtest/gtest.h>

#include <QApplication>

// The widgets need an application; without a display they draw offscreen, on a screen large
// enough for the window at its own size.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" ARBOLITH_OFFSCREEN_SCREEN);
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
