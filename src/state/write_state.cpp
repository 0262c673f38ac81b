#include "state/write_state.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

#include "platform/atomic_write.h"
#include "state/extension_record.h"
#include "state/state_codec.h"

namespace koma {

QString state_text(const EditingModel& model) {
    ItemWriter out;
    for (int i = 0; i < kSlotCount; ++i) {
        out.add_string(model.slot_files[i]);
        out.end_record();
    }

    out.add_int(model.adjust_x.value());
    out.add_int(model.adjust_y.value());
    out.add_int(model.sc_bar.value());
    out.add_string(model.pattern_anime.text());
    out.add_string(model.export_lists.drive());
    out.add_string(model.export_lists.path());
    out.add_string(model.basename.text());
    out.add_string(model.path_ref.caption);
    out.end_record();

    const auto steps = std::min<qsizetype>(model.pattern_anime.text().size(), kMaxSteps);
    for (qsizetype j = 0; j < steps; ++j) {
        out.add_int(model.step_dx[j]);
        out.add_int(model.step_dy[j]);
        out.end_record();
    }

    out.add_bool(model.bg_from_file != 0);
    out.add_int(model.bg_color);
    out.add_int(model.stage_width);
    out.add_int(model.stage_height);
    out.end_record();
    return out.text() + extension_record_text(model);
}

std::expected<void, QString> write_state(const EditingModel& model, const QString& path) {
    return write_file_atomically(path, state_text(model).toUtf8());
}

void report_saved(EditingModel& model, const QString& path) {
    model.status.report(QCoreApplication::translate("StatusLine", "保存しました: %1")
                            .arg(QFileInfo(path).fileName()));
}

}  // namespace koma
