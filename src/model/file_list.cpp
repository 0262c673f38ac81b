#include "model/file_list.h"

namespace koma {

namespace {

// Glob match of name[i..] against pat[j..]; both already case-folded.
bool glob(QStringView name, QStringView pat) {
    qsizetype n = 0, p = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pat.size() && (pat[p] == QLatin1Char('?') || pat[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pat.size() && pat[p] == QLatin1Char('*')) {
            star = p++;
            resume = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == QLatin1Char('*')) {
        ++p;
    }
    return p == pat.size();
}

}  // namespace

bool matches_pattern(const QString& name, const QString& pattern) {
    const QString folded = name.toCaseFolded();
    for (const QString& one : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (glob(folded, one.trimmed().toCaseFolded())) {
            return true;
        }
    }
    return false;
}

FileList::FileList(const FileSystem* fs) : fs_(fs ? fs : &machine_file_system()) {}

void FileList::set_file_system(const FileSystem* fs) { fs_ = fs ? fs : &machine_file_system(); }

void FileList::set_folder(const QString& folder) {
    folder_ = folder;
    reload();
}

void FileList::set_pattern(const QString& pattern) {
    pattern_ = pattern;
    reload();
}

QString FileList::file_name() const {
    return selected_ >= 0 && selected_ < names_.size() ? names_[selected_] : QString();
}

void FileList::select(int index) {
    if (index < 0 || index >= names_.size()) {
        selected_ = -1;
        return;
    }
    selected_ = index;
    if (on_select) {
        on_select();
    }
}

void FileList::reload() {
    names_.clear();
    error_.clear();
    selected_ = -1;
    if (folder_.isEmpty()) {
        return;
    }
    const auto entries = fs_->list(folder_);
    if (!entries) {
        error_ = entries.error();
        return;
    }
    for (const QString& name : entries->files) {
        if (matches_pattern(name, pattern_)) {
            names_.append(name);
        }
    }
}

}  // namespace koma
