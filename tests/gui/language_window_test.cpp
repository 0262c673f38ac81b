#include "app/language_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTranslator>

#include "adjust/background_window.h"
#include "app/caption_wrap.h"
#include "compose/startup.h"
#include "export/export_settings_window.h"
#include "model/ui_language.h"
#include "open_main_window.h"

namespace koma {
namespace {

class FakeLanguageChoice : public LanguageChoice {
  public:
    QString remembered() const override { return code; }
    void remember(const QString& chosen) override {
        code = chosen;
        ++saves;
    }
    QString code;
    int saves = 0;
};

int row_of(const QString& code) {
    const auto& all = ui_languages();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].code == code) return static_cast<int>(i) + 1;
    }
    return -1;
}

TEST(LanguageWindow, ListsLanguagesByTheirOwnNamesAndRemembersAChoiceAtOnce) {
    FakeLanguageChoice choice;
    choice.code = "en";
    LanguageWindow window(choice);
    ASSERT_EQ(window.language->count(), 3);
    EXPECT_EQ(window.language->itemText(row_of("ja")), "日本語");
    EXPECT_EQ(window.language->itemText(row_of("en")), "English");
    EXPECT_EQ(window.language->currentIndex(), row_of("en"));
    EXPECT_FALSE(window.note->text().isEmpty());

    window.language->activated(row_of("ja"));
    EXPECT_EQ(choice.code, "ja");
    window.language->activated(0);
    EXPECT_EQ(choice.code, "");
    EXPECT_EQ(choice.saves, 2);

    FakeLanguageChoice none;
    EXPECT_EQ(LanguageWindow(none).language->currentIndex(), 0);
}

TEST(LanguageWindow, TheMainWindowOffersItOnlyWithAChoiceToKeep) {
    EditingModel model{QStringLiteral("/")};
    Form1_Load(model);
    {
        auto window = test::open_main_window(model);
        EXPECT_FALSE(window->bt_language->isVisible());
    }
    FakeLanguageChoice choice;
    model.language_choice = &choice;
    auto window = test::open_main_window(model);
    ASSERT_TRUE(window->bt_language->isVisible());
    // The button sits in free space: it covers no other control.
    QWidget* canvas = window->bt_language->parentWidget();
    for (QWidget* other : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != window->bt_language && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(window->bt_language->geometry()))
                << other->metaObject()->className();
        }
    }
    window->bt_language->click();
    window->bt_language->click();
    const auto open = QApplication::topLevelWidgets();
    const auto count = std::count_if(open.begin(), open.end(), [](QWidget* w) {
        return qobject_cast<LanguageWindow*>(w) != nullptr && w->isVisible();
    });
    EXPECT_EQ(count, 1);
}

TEST(CaptionWrap, KeepsWordsWholeAndBreaksJapaneseAnywhere) {
    const QFontMetrics metrics(QApplication::font());
    const int narrow = metrics.horizontalAdvance(QStringLiteral("animation")) + 2;
    EXPECT_EQ(wrap_caption(QStringLiteral("Test animation"), metrics, narrow), "Test\nanimation");
    EXPECT_EQ(wrap_caption(QStringLiteral("Fine adjust ON"), metrics,
                           metrics.horizontalAdvance(QStringLiteral("Fine adjust")) + 1),
              "Fine adjust\nON");
    const QString japanese = QStringLiteral("背景設定");
    const int one = metrics.horizontalAdvance(QStringLiteral("背景")) + 1;
    EXPECT_EQ(wrap_caption(japanese, metrics, one), "背景\n設定");
}

/// What of `window`'s texts does not fit its control, one line each.
QStringList cut_texts(QWidget* window) {
    QStringList cut;
    const auto name = [](QWidget* w, const QString& text) {
        return QStringLiteral("%1 \"%2\"").arg(w->metaObject()->className(), text);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        const QFontMetrics metrics(w->font());
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            // The captions wrap as the window system's buttons do (see wrap_caption).
            // A word of the caption (kept whole in the accessible name) is never broken.
            for (const QString& word : button->accessibleName().split(QLatin1Char(' '))) {
                if (metrics.horizontalAdvance(word) > button->width() - 6) cut << name(w, word);
            }
            const QStringList lines = button->text().split(QLatin1Char('\n'));
            for (const QString& line : lines) {
                if (metrics.horizontalAdvance(line) > button->width() - 6) {
                    cut << name(w, line);
                }
            }
            if (lines.size() * metrics.height() > button->height()) cut << name(w, button->text());
        } else if (qobject_cast<QCheckBox*>(w) != nullptr || qobject_cast<QRadioButton*>(w)) {
            if (w->sizeHint().width() > w->width()) {
                cut << name(w, static_cast<QAbstractButton*>(w)->text());
            }
        } else if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
            if (metrics.horizontalAdvance(label->text()) > label->contentsRect().width()) {
                cut << name(w, label->text());
            }
        }
    }
    return cut;
}

TEST(EnglishCaptions, FitTheirControlsInEveryWindow) {
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(":/i18n/koma_en")));
    QCoreApplication::installTranslator(&english);
    {
        EditingModel model{QStringLiteral("/")};
        Form1_Load(model);
        FakeLanguageChoice choice;
        model.language_choice = &choice;
        auto window = test::open_main_window(model);
        EXPECT_EQ(window->windowTitle(), "Mukuri Studio Simple Animator");
        EXPECT_EQ(window->anime->text(), "Test\nanimation");
        EXPECT_EQ(cut_texts(window.get()), QStringList{});

        window->Command1->click();
        auto* background = window->findChild<BackgroundWindowHost*>()->form();
        ASSERT_NE(background, nullptr);
        EXPECT_EQ(background->windowTitle(), "Background");
        EXPECT_EQ(cut_texts(background), QStringList{});

        window->bt_settings->click();
        auto* settings = window->findChild<ExportSettingsWindowHost*>()->window();
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(settings->windowTitle(), "Export settings");
        EXPECT_EQ(cut_texts(settings), QStringList{});

        EXPECT_EQ(cut_texts(new LanguageWindow(choice, window.get())), QStringList{});
    }
    QCoreApplication::removeTranslator(&english);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace koma
