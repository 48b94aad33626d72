#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests need a QApplication but no display, and data and settings folders of their own so that
// no test ever touches the user's book or settings.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (data.path() + QStringLiteral("/config")).toUtf8());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QApplication::setApplicationName(QStringLiteral("Quillfen"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
