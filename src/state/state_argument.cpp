#include "state/state_argument.h"

#include <QFileInfo>

#include "state/load_save.h"

namespace koma {

bool names_state_file(const QStringList& arguments) {
    return arguments.size() == 2 &&
           arguments[1].endsWith(QLatin1String(".pst"), Qt::CaseInsensitive);
}

std::expected<StateReadReport, QString> load_state_argument(EditingModel& model,
                                                            const QStringList& arguments) {
    if (!names_state_file(arguments)) {
        return StateReadReport{};
    }
    model.work_path = QFileInfo(arguments[1]).absoluteFilePath();
    model.state_mode = 1;
    StateReadReport report;
    if (auto read = load_save(model, &report); !read) {
        return std::unexpected(read.error());
    }
    return report;
}

}  // namespace koma
