#pragma once

#include <QObject>
#include <functional>

#include "import/file_list.h"
#include "import/folder_lists.h"

class QComboBox;
class QListWidget;
class QWidget;

namespace koma {

/// Tells the user that a root cannot be read: the system beep, then a message box with an OK
/// button and the application's title, which waits until it is closed.
void tell_drive_not_ready(QWidget* parent, const QString& message);

/// Shows FolderLists in a drive combo box and a folder list and forwards their input: choosing
/// a drive changes the drive, activating a folder (double click, Enter) opens it. A root that
/// is not ready is told with tell_drive_not_ready over `box_parent`. `after_input` runs after
/// every forwarded change (normally the model's notify()).
class FolderListsBinding : public QObject {
    Q_OBJECT
  public:
    FolderListsBinding(FolderLists& lists, QComboBox* drive, QListWidget* dir, QWidget* box_parent,
                       std::function<void()> after_input);

    /// Rebuilds the two widgets from the lists where they differ, with signals blocked.
    void refresh();

    /// Runs every change the user asks for through `runner` (which must call the change once),
    /// for example to record it as an undoable step. By default changes run directly.
    void set_input_runner(std::function<void(const std::function<void()>& change)> runner) {
        runner_ = std::move(runner);
    }

  private:
    void run_input(const std::function<void()>& change) {
        if (runner_) {
            runner_(change);
        } else {
            change();
        }
    }

    FolderLists& lists_;
    QComboBox* drive_;
    QListWidget* dir_;
    std::function<void()> after_input_;
    std::function<void(const std::function<void()>&)> runner_;
    QString shown_path_;
};

/// Shows a FileList in a list widget and reports clicks: `on_click(row)` runs whenever the
/// selected file changes (mouse or arrow keys) and when the selected file is clicked again.
class FileListBinding : public QObject {
    Q_OBJECT
  public:
    FileListBinding(const FileList& files, QListWidget* list, std::function<void(int)> on_click);

    void refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const FileList& files_;
    QListWidget* list_;
    QWidget* viewport_;
    std::function<void(int)> on_click_;
    int row_at_press_ = -1;
};

}  // namespace koma
