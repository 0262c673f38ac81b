#include "model/status_line.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace koma {

void StatusLine::set_project(const QString& state_file, bool unsaved) {
    state_file_ = state_file;
    unsaved_ = unsaved;
}

void StatusLine::report(const QString& message, bool failed) {
    message_ = message;
    failed_ = failed;
}

QString StatusLine::project_text() const {
    QString name = state_file_.isEmpty() ? QCoreApplication::translate("StatusLine", "無題")
                                         : QFileInfo(state_file_).fileName();
    if (unsaved_) {
        name += QStringLiteral(" *");
    }
    return name;
}

}  // namespace koma
