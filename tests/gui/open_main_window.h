#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "app/main_window.h"

namespace koma::test {

/// Builds the main window over `model` (already loaded), shows it and waits until it is exposed.
inline std::unique_ptr<Form1> open_main_window(EditingModel& model) {
    auto window = std::make_unique<Form1>(model);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

/// Makes `window` the active window, as a click on its frame would, so that focus moves send
/// their focus events. Returns whether it became active.
inline bool make_active(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

}  // namespace koma::test
