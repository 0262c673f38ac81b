#include "platform/replace_file.h"

#include "platform/staged_files.h"

namespace koma {

std::expected<void, QString> replace_file_contents(const QString& path, const QByteArray& bytes) {
    // One file staged and committed: its rename is the one step that replaces the old file.
    StagedFiles one;
    if (auto written = one.write(path, bytes); !written) {
        return written;
    }
    return one.commit();
}

}  // namespace koma
