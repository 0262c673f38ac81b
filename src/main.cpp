#include <QApplication>

#include "app/editing_model.h"
#include "app/main_window.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("koma"));
    QApplication::setApplicationVersion(QStringLiteral(KOMA_VERSION));

    koma::EditingModel model(QCoreApplication::applicationDirPath());
    koma::Form1_Load(model);
    koma::Form1 window(model);
    window.show();
    return QApplication::exec();
}
