#include "state/recovery_copy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "model/edit_history.h"
#include "state/state_codec.h"
#include "state/write_state.h"

namespace koma {

QByteArray recovery_copy_bytes(const EditingModel& model) {
    ItemWriter head;
    head.add_string(QLatin1String(kRecoveryTag));
    head.add_int(1);
    head.add_string(model.state_file);
    head.end_record();
    return (head.text() + state_text(model)).toUtf8();
}

std::expected<RecoveredProject, QString> read_recovery_copy(const QByteArray& bytes) {
    const auto not_a_copy = [] {
        return std::unexpected(
            QCoreApplication::translate("RecoveryCopy", "復元用のコピーではありません"));
    };
    const qsizetype end = bytes.indexOf("\r\n");
    if (end < 0) {
        return not_a_copy();
    }
    ItemReader head(QString::fromUtf8(bytes.left(end)));
    const auto tag = head.read_string();
    if (!tag || *tag != QLatin1String(kRecoveryTag)) {
        return not_a_copy();
    }
    const auto version = head.read_int(1, INT32_MAX);
    const auto state_file = version ? head.read_string() : std::unexpected(version.error());
    if (!state_file) {
        return not_a_copy();
    }
    return RecoveredProject{*state_file, bytes.mid(end + 2)};
}

std::expected<StateReadReport, QString> restore_recovery_copy(EditingModel& model,
                                                              const QByteArray& bytes) {
    const auto copy = read_recovery_copy(bytes);
    if (!copy) {
        return std::unexpected(copy.error());
    }
    // A project never saved has absolute slot paths; the program's folder is only a fallback.
    const QDir folder = copy->state_file.isEmpty() ? QDir(model.program_folder())
                                                   : QFileInfo(copy->state_file).absoluteDir();
    const QString name = copy->state_file.isEmpty()
                             ? QCoreApplication::translate("RecoveryCopy", "（無題）")
                             : copy->state_file;
    auto read = read_state_bytes(model, copy->state_bytes, folder, name);
    // What a damaged copy gave is no longer that file's project: Ctrl+S must not write it there.
    const QString belongs = read ? copy->state_file : QString();
    if (model.history != nullptr) {
        model.history->mark_unsaved(belongs);
    } else {
        model.state_file = belongs;
    }
    return read;
}

}  // namespace koma
