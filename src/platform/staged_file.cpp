#include "platform/staged_file.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <utility>

#include "platform/write_target.h"

namespace koma {

namespace {

std::expected<StagedFile, QString> fail(const QString& path, const QString& reason) {
    return std::unexpected(QStringLiteral("%1: %2").arg(path, reason));
}

}  // namespace

std::expected<StagedFile, QString> StagedFile::create(const QString& path) {
    return create(path, QByteArray());
}

std::expected<StagedFile, QString> StagedFile::create(const QString& path,
                                                      const QByteArray& bytes) {
    const auto target = resolve_write_target(path);
    if (!target) return fail(path, target.error());
    auto temp = FileBeside::create(*target, QStringLiteral("part"));
    if (!temp) return fail(path, temp.error());
    if (!bytes.isEmpty()) {
        if (auto written = temp->write(bytes); !written) return fail(path, written.error());
        // The disk starts on the data now; sync() before the rename waits for it.
        temp->start_writeback();
    }
    auto released = temp->release();
    if (!released) return fail(path, released.error());
    return StagedFile(path, target->file, *released);
}

StagedFile::StagedFile(QString path, QString target, QString temp_path)
    : path_(std::move(path)), target_(std::move(target)), temp_path_(std::move(temp_path)) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : path_(std::move(other.path_)),
      target_(std::move(other.target_)),
      temp_path_(std::exchange(other.temp_path_, QString())) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        discard();
        path_ = std::move(other.path_);
        target_ = std::move(other.target_);
        temp_path_ = std::exchange(other.temp_path_, QString());
    }
    return *this;
}

StagedFile::~StagedFile() { discard(); }

std::expected<void, QString> StagedFile::sync() const {
    if (temp_path_.isEmpty()) {
        return std::unexpected(QStringLiteral("%1: nothing was written").arg(path_));
    }
    if (auto synced = sync_file(temp_path_); !synced) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path_, synced.error()));
    }
    return {};
}

std::expected<void, QString> StagedFile::place() {
    auto failure = [&](const QString& reason) {
        discard();
        return std::unexpected(QStringLiteral("%1: %2").arg(path_, reason));
    };
    if (temp_path_.isEmpty()) return failure(QStringLiteral("nothing was written"));
    // The target may have appeared or changed since create().
    if (const auto target = resolve_write_target(target_); !target) {
        return failure(target.error());
    }
    if (auto renamed = rename_over(temp_path_, target_); !renamed) {
        return failure(renamed.error());
    }
    temp_path_.clear();
    return {};
}

std::expected<void, QString> StagedFile::commit() {
    if (auto synced = sync(); !synced) {
        discard();
        return synced;
    }
    if (auto placed = place(); !placed) return placed;
    // The file is in place whatever this says: a folder that cannot be synced (some file
    // systems refuse) is no reason to report a failure.
    (void)sync_folder(QFileInfo(target_).absolutePath());
    return {};
}

void StagedFile::discard() {
    if (temp_path_.isEmpty()) return;
    ::unlink(QFile::encodeName(temp_path_).constData());
    temp_path_.clear();
}

}  // namespace koma
