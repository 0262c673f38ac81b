#pragma once

#include <QString>

namespace koma {

/// What the main window's status line shows: the project (the state file it was last read from
/// or written to, and whether it has changes not saved there) and the last thing the program
/// reported (a save, an export, a file that disappeared). Handlers and services write it; the
/// window only shows it.
class StatusLine {
  public:
    /// The project now lives in the state file at `state_file` ("" for one that has none yet);
    /// `unsaved` says it has changes that file does not hold.
    void set_project(const QString& state_file, bool unsaved);
    /// Replaces the last report with `message`; `failed` marks it as a failure.
    void report(const QString& message, bool failed = false);

    const QString& state_file() const { return state_file_; }
    bool unsaved() const { return unsaved_; }
    const QString& message() const { return message_; }
    bool failed() const { return failed_; }

    /// The project as shown: the state file's name, or "無題" without one, and " *" after it
    /// while there are unsaved changes.
    QString project_text() const;

  private:
    QString state_file_;
    bool unsaved_ = false;
    QString message_;
    bool failed_ = false;
};

}  // namespace koma
