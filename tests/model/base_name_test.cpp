#include "model/base_name.h"

#include <gtest/gtest.h>

namespace koma {
namespace {

TEST(BaseNameTest, NamesThatLeaveTheFolderOrAreCutShortAreRefused) {
    const QString nul = QStringLiteral("victim.txt") + QChar(0) + QStringLiteral("x");
    for (const QString& bad :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../escaped"),
          QStringLiteral("a/b"), QStringLiteral("/abs"), QStringLiteral("..\\up"), nul,
          QStringLiteral("line\nbreak"), QStringLiteral("tab\t"), QStringLiteral("del\x7f"),
          QStringLiteral("c1") + QChar(0x85)}) {
        EXPECT_FALSE(base_name_fault(bad).isEmpty()) << bad.toStdString();
    }
    // The control character is named by its code, not shown.
    EXPECT_TRUE(base_name_fault(nul).contains(QStringLiteral("U+0000")));
    for (const QString& good :
         {QStringLiteral("sample"), QStringLiteral("..walk"), QStringLiteral("a.b"),
          QStringLiteral("歩く 猫"), QStringLiteral("-x"), QStringLiteral(" ")}) {
        EXPECT_TRUE(base_name_fault(good).isEmpty()) << good.toStdString();
    }
}

TEST(BaseNameTest, AJoinedNameMustLieDirectlyInItsFolder) {
    EXPECT_TRUE(lies_in_folder(QStringLiteral("/tmp/out/walk00.bmp"), QStringLiteral("/tmp/out")));
    EXPECT_TRUE(lies_in_folder(QStringLiteral("/tmp/out//walk.gif"), QStringLiteral("/tmp/out/")));
    EXPECT_TRUE(lies_in_folder(QStringLiteral("//walk.gif"), QStringLiteral("/")));
    EXPECT_FALSE(
        lies_in_folder(QStringLiteral("/tmp/out/../walk.gif"), QStringLiteral("/tmp/out")));
    EXPECT_FALSE(
        lies_in_folder(QStringLiteral("/tmp/out/sub/walk.gif"), QStringLiteral("/tmp/out")));
    EXPECT_FALSE(lies_in_folder(QStringLiteral("/tmp/out/.."), QStringLiteral("/tmp/out")));
    EXPECT_FALSE(lies_in_folder(QStringLiteral("/tmp/out/a") + QChar(0) + QStringLiteral(".gif"),
                                QStringLiteral("/tmp/out")));
}

}  // namespace
}  // namespace koma
