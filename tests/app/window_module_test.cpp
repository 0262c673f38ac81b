#include "app/window_module.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

namespace koma {
namespace {

TEST(WindowModule, TheInstalledPlaceComesBeforeTheProgramsFolder) {
    const std::vector<std::string> candidates = window_module_candidates("/usr/bin/koma");
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(std::filesystem::path(candidates[0]).lexically_normal(),
              "/usr/lib/koma/koma_windows.so");
    EXPECT_EQ(candidates[1], "/usr/bin/koma_windows.so");
}

TEST(WindowModule, TheRunningProgramIsFoundWithoutItsArguments) {
    const std::string self = running_program_path("not-the-program");
    EXPECT_NE(self, "not-the-program");
    EXPECT_TRUE(std::filesystem::is_regular_file(self)) << self;
    EXPECT_EQ(running_program_path(nullptr), self);
}

TEST(WindowModule, TheBuiltProgramsModuleHasTheEntryPoint) {
    const auto entry = load_window_module(KOMA_BINARY);
    ASSERT_TRUE(entry.has_value()) << entry.error().toStdString();
    EXPECT_NE(*entry, nullptr);
}

TEST(WindowModule, NoModuleNamesThePathsTried) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto entry = load_window_module(dir.filePath("koma").toStdString());
    ASSERT_FALSE(entry.has_value());
    EXPECT_TRUE(entry.error().contains(dir.filePath("koma_windows.so")))
        << entry.error().toStdString();
    EXPECT_EQ(entry.error().count('\n'), 0);
}

TEST(WindowModule, AFileThatIsNoLibraryIsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile fake(dir.filePath("koma_windows.so"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a shared object");
    fake.close();
    const auto entry = load_window_module(dir.filePath("koma").toStdString());
    ASSERT_FALSE(entry.has_value());
    EXPECT_TRUE(entry.error().startsWith("cannot load the windows: "))
        << entry.error().toStdString();
}

TEST(WindowModule, ALibraryWithoutTheEntryPointIsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Any shared object that is not the module: the maths library serves.
    std::error_code error;
    std::filesystem::copy_file("/lib/x86_64-linux-gnu/libm.so.6",
                               dir.filePath("koma_windows.so").toStdString(), error);
    if (error) GTEST_SKIP() << "no libm.so.6 to copy: " << error.message();
    const auto entry = load_window_module(dir.filePath("koma").toStdString());
    ASSERT_FALSE(entry.has_value());
    EXPECT_TRUE(entry.error().contains(QLatin1String(kWindowMainSymbol)))
        << entry.error().toStdString();
}

}  // namespace
}  // namespace koma
