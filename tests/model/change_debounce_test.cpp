#include "model/change_debounce.h"

#include <gtest/gtest.h>

namespace koma {
namespace {

QStringList keys(const std::vector<ChangeDebounce::Due>& due) {
    QStringList out;
    for (const auto& d : due) out << d.key;
    return out;
}

TEST(ChangeDebounceTest, ABurstOfWritesIsDueOnceTheyStop) {
    ChangeDebounce debounce({200, 100, 2000});
    EXPECT_EQ(debounce.wait_ms(0), -1);
    debounce.touch("a.png", 0);
    debounce.touch("a.png", 150);
    debounce.touch("b.png", 160);
    EXPECT_EQ(debounce.wait_ms(200), 150);
    EXPECT_TRUE(debounce.take_due(349).empty());
    const auto due = debounce.take_due(350);
    ASSERT_EQ(keys(due), QStringList{"a.png"});
    EXPECT_EQ(due[0].last_change_ms, 150);
    EXPECT_EQ(keys(debounce.take_due(360)), QStringList{"b.png"});
    EXPECT_EQ(debounce.wait_ms(400), -1);
}

TEST(ChangeDebounceTest, AFileThatDoesNotReadIsRetriedUntilTwoSecondsAfterItsLastWrite) {
    ChangeDebounce debounce({200, 100, 2000});
    debounce.touch("a.png", 1000);
    auto due = debounce.take_due(1200);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_TRUE(debounce.retry(due[0], 1200));
    EXPECT_EQ(debounce.wait_ms(1200), 100);
    EXPECT_TRUE(debounce.take_due(1299).empty());
    due = debounce.take_due(1300);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].last_change_ms, 1000);
    EXPECT_TRUE(debounce.retry(due[0], 2999));
    due = debounce.take_due(3099);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_FALSE(debounce.retry(due[0], 3099));
    EXPECT_EQ(debounce.wait_ms(3100), -1);

    // A write while a file is being retried starts its wait afresh.
    debounce.touch("b.png", 0);
    due = debounce.take_due(200);
    debounce.touch("b.png", 1900);
    EXPECT_TRUE(debounce.retry(due[0], 2500));
    EXPECT_TRUE(debounce.take_due(2099).empty());
    due = debounce.take_due(2100);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].last_change_ms, 1900);
    EXPECT_TRUE(debounce.retry(due[0], 3800));
}

}  // namespace
}  // namespace koma
