#include "model/ui_language.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "codecs/bmp/bmp_decoder.h"
#include "model/settings_language_choice.h"
#include "model/translations.h"

namespace koma {
namespace {

class FakeLanguageChoice : public LanguageChoice {
  public:
    explicit FakeLanguageChoice(QString code = {}) : code_(std::move(code)) {}
    QString remembered() const override { return code_; }
    void remember(const QString& code) override { code_ = code; }

  private:
    QString code_;
};

TEST(StartLanguage, TheRememberedChoiceWinsOverTheSystem) {
    EXPECT_EQ(start_language(FakeLanguageChoice("en"), {"ja-JP"}), "en");
    EXPECT_EQ(start_language(FakeLanguageChoice("ja"), {"en-US", "en"}), "ja");
    // A choice koma does not have (any more) is passed over.
    EXPECT_EQ(start_language(FakeLanguageChoice("de"), {"en-GB"}), "en");
    EXPECT_EQ(start_language(FakeLanguageChoice("de"), {}), "ja");
}

TEST(StartLanguage, TheFirstSystemLanguageKomaHasIsTaken) {
    const FakeLanguageChoice none;
    EXPECT_EQ(start_language(none, {"de-DE", "en-GB", "ja-JP"}), "en");
    EXPECT_EQ(start_language(none, {"fr-FR", "ja_JP.UTF-8", "en"}), "ja");
    EXPECT_EQ(start_language(none, {"EN-us"}), "en");
    EXPECT_EQ(start_language(none, {"en@quot"}), "en");
    // "eng" is not "en", nor "jav" Japanese.
    EXPECT_EQ(start_language(none, {"eng", "jav"}), "ja");
}

TEST(StartLanguage, NoneKnownAndTheCLocaleGiveJapanese) {
    const FakeLanguageChoice none;
    EXPECT_EQ(start_language(none, {}), "ja");
    EXPECT_EQ(start_language(none, {"de", "fr"}), "ja");
    EXPECT_EQ(start_language(none, {"C"}), "ja");
    EXPECT_EQ(start_language(none, {"POSIX", "en"}), "ja");
    EXPECT_EQ(start_language(none, {"C.UTF-8", "en"}), "ja");
}

TEST(SettingsLanguageChoice, KeepsAndForgetsTheChoiceForTheNextStart) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("koma.ini");
    SettingsLanguageChoice first(file);
    EXPECT_EQ(first.remembered(), "");
    first.remember("en");
    EXPECT_EQ(start_language(SettingsLanguageChoice(file), {"ja-JP"}), "en");
    SettingsLanguageChoice(file).remember({});
    EXPECT_EQ(SettingsLanguageChoice(file).remembered(), "");
    EXPECT_EQ(start_language(SettingsLanguageChoice(file), {"ja-JP"}), "ja");
}

TEST(InstallTranslations, EnglishIsBuiltInAndJapaneseNeedsNone) {
    int argc = 1;
    char name[] = "ui_language_test";
    char* argv[] = {name, nullptr};
    const QString japanese = bmp_message::kTruncated;
    {
        QCoreApplication app(argc, argv);
        ASSERT_TRUE(install_translations("ja"));
        EXPECT_EQ(QString(bmp_message::kTruncated), japanese);
    }
    {
        QCoreApplication app(argc, argv);
        ASSERT_TRUE(install_translations("en"));
        // A constant made before the translation was installed still reads in English.
        EXPECT_EQ(QString(bmp_message::kTruncated), "the BMP file is cut short");
        EXPECT_EQ(bmp_message::kDepth.arg(3), "3-bit BMP files are not supported");
    }
    {
        QCoreApplication app(argc, argv);
        EXPECT_FALSE(install_translations("xx"));
        EXPECT_EQ(QString(bmp_message::kTruncated), japanese);
    }
}

}  // namespace
}  // namespace koma
