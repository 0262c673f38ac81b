#include "model/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "model/ui_language.h"

namespace koma {

bool install_translations(const QString& code) {
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_") + code,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
    if (code == kSourceLanguage) {
        return true;
    }
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(QStringLiteral(":/i18n/koma_") + code)) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    return true;
}

}  // namespace koma
