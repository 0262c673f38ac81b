// The GUI tests need a QApplication; they run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "recovery_child.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(koma::test::kRecoveryChildFolder)) {
        return koma::test::recovery_child_main();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
