#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need a QApplication but no display. The process plays a user who prefers French,
// then Mexican Spanish, running a program that is neither translated nor an installed application.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANGUAGE", "fr:es_MX");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
