#include "platform/staged_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <utility>

namespace koma {

namespace {

std::atomic<unsigned> staged_counter{0};

// Why the existing file `target` must not be replaced; empty when it may be (the rule of
// replace_file_contents: renaming needs only the folder's permission, so the file's own are
// checked here).
QString refusal(const QFileInfo& target) {
    if (target.isDir()) return QStringLiteral("is a folder");
    if (!target.exists()) return {};
    const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(target.permissions() & writable)) return QStringLiteral("the file is read-only");
    if (!target.isWritable()) return QStringLiteral("no permission to write the file");
    return {};
}

}  // namespace

std::expected<StagedFile, QString> StagedFile::create(const QString& path) {
    auto failure = [&](const QString& reason) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, reason));
    };
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QFileInfo target_info(target);
    if (const QString why = refusal(target_info); !why.isEmpty()) return failure(why);

    // Created like any new file (QFile::NewOnly), so that the renamed file has the permissions
    // a new file gets; a temporary-file class would make it readable by its owner alone.
    QFile temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.setFileName(QStringLiteral("%1/.%2.%3-%4.part")
                             .arg(target_info.absolutePath(), target_info.fileName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(staged_counter.fetch_add(1)));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            temp.close();
            return StagedFile(path, target, temp.fileName());
        }
        if (!temp.exists()) return failure(temp.errorString());  // the folder refuses new files
    }
    return failure(QStringLiteral("no temporary file could be created beside it"));
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

std::expected<void, QString> StagedFile::commit() {
    auto failure = [&](const QString& reason) {
        discard();
        return std::unexpected(QStringLiteral("%1: %2").arg(path_, reason));
    };
    if (temp_path_.isEmpty()) return failure(QStringLiteral("nothing was written"));
    // The target may have appeared or changed since create().
    const QFileInfo target_info(target_);
    if (const QString why = refusal(target_info); !why.isEmpty()) return failure(why);
    if (target_info.exists()) QFile::setPermissions(temp_path_, QFile::permissions(target_));
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temp_path_).toStdString(),
                            QFile::encodeName(target_).toStdString(), error);
    if (error) return failure(QString::fromStdString(error.message()));
    temp_path_.clear();
    return {};
}

void StagedFile::discard() {
    if (temp_path_.isEmpty()) return;
    QFile::remove(temp_path_);
    temp_path_.clear();
}

}  // namespace koma
