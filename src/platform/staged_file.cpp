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

// Why `target` must not be replaced; empty when it may be. Renaming needs only the folder's
// permission, so the file's own are checked here.
QString refusal(const QFileInfo& target) {
    if (target.isDir()) return QStringLiteral("is a folder");
    if (!target.exists()) return {};
    const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(target.permissions() & writable)) return QStringLiteral("the file is read-only");
    if (!target.isWritable()) return QStringLiteral("no permission to write the file");
    return {};
}

}  // namespace

std::expected<QString, QString> create_file_beside(const QString& target, const QString& suffix) {
    const QFileInfo info(target);
    // Created like any new file (QFile::NewOnly), so that a file renamed from it has the
    // permissions a new file gets; a temporary-file class would make it readable by its owner
    // alone.
    QFile file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.setFileName(QStringLiteral("%1/.%2.%3-%4.%5")
                             .arg(info.absolutePath(), info.fileName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(staged_counter.fetch_add(1))
                             .arg(suffix));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.close();
            return file.fileName();
        }
        if (!file.exists()) return std::unexpected(file.errorString());  // no new files there
    }
    return std::unexpected(QStringLiteral("no temporary file could be created beside it"));
}

std::expected<StagedFile, QString> StagedFile::create(const QString& path) {
    auto failure = [&](const QString& reason) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, reason));
    };
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    if (const QString why = refusal(QFileInfo(target)); !why.isEmpty()) return failure(why);
    auto temp = create_file_beside(target, QStringLiteral("part"));
    if (!temp) return failure(temp.error());
    return StagedFile(path, target, *temp);
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
