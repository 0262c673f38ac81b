#pragma once

#include <QObject>
#include <functional>

#include "model/file_list.h"
#include "model/folder_lists.h"
#include "widgets/file_list_widget.h"

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

/// Shows a FileList in a FileListWidget and reports the user's choices: `on_click(row)` runs
/// whenever the user moves the selected file (mouse or keys in the list) and when the selected
/// file is clicked again; the focus arriving in the list or a reload chooses nothing.
class FileListBinding : public QObject {
    Q_OBJECT
  public:
    FileListBinding(const FileList& files, FileListWidget* list, std::function<void(int)> on_click);

    void refresh();

  private:
    const FileList& files_;
    FileListWidget* list_;
    std::function<void(int)> on_click_;
};

}  // namespace koma
