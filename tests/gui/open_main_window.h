#pragma once

#include <QTest>
#include <gtest/gtest.h>
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

}  // namespace koma::test
