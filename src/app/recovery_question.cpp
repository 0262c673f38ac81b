#include "app/recovery_question.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "state/recovery_copy.h"

namespace koma {

QString recovery_question_text(const RecoveryCopy& newest, std::size_t count) {
    const auto copy = read_recovery_copy(newest.bytes);
    const QString project =
        copy && !copy->state_file.isEmpty()
            ? QCoreApplication::translate("koma::RecoveryQuestion", "「%1」")
                  .arg(QFileInfo(copy->state_file).fileName())
            : QCoreApplication::translate("koma::RecoveryQuestion", "保存したことのない作業");
    QString text = QCoreApplication::translate("koma::RecoveryQuestion",
                                               "前回、正しく終了しなかった作業が残っています。\n"
                                               "%1（%2 の状態）を復元しますか？")
                       .arg(project, newest.written.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
    if (count > 1) {
        text +=
            QCoreApplication::translate("koma::RecoveryQuestion",
                                        "\nほかに %1 件あります。次に起動したときにまた尋ねます。")
                .arg(count - 1);
    }
    return text;
}

bool ask_restore(QWidget* parent, const RecoveryCopy& newest, std::size_t count) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    recovery_question_text(newest, count), QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton(
        QCoreApplication::translate("koma::RecoveryQuestion", "復元する"), QMessageBox::AcceptRole);
    box.addButton(QCoreApplication::translate("koma::RecoveryQuestion", "破棄する"),
                  QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    // No escape button: Escape and the close box must not throw work away unasked.
    box.exec();
    return box.clickedButton() == restore;
}

}  // namespace koma
