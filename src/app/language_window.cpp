#include "app/language_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "model/ui_language.h"

namespace koma {

LanguageWindow::LanguageWindow(LanguageChoice& choice, QWidget* parent)
    : QWidget(parent, Qt::Window), choice_(choice) {
    setWindowTitle(tr("表示言語"));
    setObjectName(QStringLiteral("LanguageWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(320, 144);

    auto* caption = new QLabel(tr("表示言語"), this);
    caption->setGeometry(16, 16, 96, 24);
    language = new QComboBox(this);
    language->setGeometry(120, 16, 185, 24);
    language->setToolTip(tr("ウィンドウの文字の言語。次に起動したときから変わります"));
    language->addItem(tr("システムの設定に従う"));
    int current = 0;
    const QString remembered = choice_.remembered();
    for (const UiLanguage& each : ui_languages()) {
        if (each.code == remembered) current = language->count();
        language->addItem(each.name);
    }
    language->setCurrentIndex(current);
    note = new QLabel(tr("選んだ言語は、次に起動したときから使われます。"), this);
    note->setGeometry(16, 52, 289, 40);
    note->setWordWrap(true);
    close_button = new QPushButton(tr("閉じる"), this);
    close_button->setGeometry(224, 100, 81, 33);
    close_button->setToolTip(tr("この窓を閉じます"));

    connect(language, &QComboBox::activated, this, [this](int row) {
        const auto& all = ui_languages();
        choice_.remember(row >= 1 && row <= static_cast<int>(all.size())
                             ? all[static_cast<size_t>(row - 1)].code
                             : QString());
    });
    connect(close_button, &QPushButton::clicked, this, &QWidget::close);
}

}  // namespace koma
