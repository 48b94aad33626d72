// The end-to-end tests: the application on an X server of the test's own (Xvfb), driven through its
// window in this process, and the real program started, killed and started again as a process.
// Started as `QuillfenE2E --act <act> [argument]`, this program is instead the application
// running one act in a process of its own (see Acts.h), for the tests that kill it on the way.
#include "tests/e2e/Acts.h"
#include "tests/e2e/RealProgram.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--act") == 0) {
        QApplication app(argc, argv);
        return quillfen::testing::runAct(argv[2], argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QTemporaryDir settings;  // the window's remembered settings stay out of the user's own
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    quillfen::testing::Xvfb x;
    if (x.display.isEmpty()) {
        std::fputs("Xvfb is needed for the end-to-end tests; run scripts/setup.sh.\n", stderr);
        return 1;
    }
    qputenv("DISPLAY", x.display.toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
