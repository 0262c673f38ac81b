#include "widgets/folder_lists_widget.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QSignalBlocker>

namespace koma {

void tell_drive_not_ready(QWidget* parent, const QString& message) {
    QApplication::beep();
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), message, QMessageBox::Ok,
                    parent);
    box.exec();
}

FolderListsBinding::FolderListsBinding(FolderLists& lists, QComboBox* drive, QListWidget* dir,
                                       QWidget* box_parent, std::function<void()> after_input)
    : QObject(box_parent),
      lists_(lists),
      drive_(drive),
      dir_(dir),
      after_input_(std::move(after_input)) {
    // The lists may outlive the window that shows the box.
    lists_.on_not_ready = [parent = QPointer<QWidget>(box_parent)](const QString& message) {
        tell_drive_not_ready(parent.data(), message);
    };
    connect(drive_, &QComboBox::activated, this, [this](int index) {
        const QString drive = drive_->itemText(index);
        run_input([&] { lists_.set_drive(drive); });
        after_input_();
    });
    connect(dir_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString path = item->data(Qt::UserRole).toString();
        run_input([&] { lists_.set_path(path); });
        after_input_();
    });
    refresh();
}

void FolderListsBinding::refresh() {
    const QSignalBlocker block_drive(drive_);
    const QSignalBlocker block_dir(dir_);

    const QStringList drives = lists_.drives();
    QStringList shown;
    for (int i = 0; i < drive_->count(); ++i) {
        shown.append(drive_->itemText(i));
    }
    if (shown != drives) {
        drive_->clear();
        drive_->addItems(drives);
    }
    drive_->setCurrentIndex(static_cast<int>(drives.indexOf(lists_.drive())));

    if (shown_path_ == lists_.path() && dir_->count() > 0) {
        return;
    }
    shown_path_ = lists_.path();
    dir_->clear();
    for (const FolderItem& folder : lists_.folder_items()) {
        auto* item = new QListWidgetItem(QString(folder.depth * 2, QLatin1Char(' ')) +
                                             (folder.depth > 0 ? folder.label : folder.path),
                                         dir_);
        item->setData(Qt::UserRole, folder.path);
        item->setToolTip(folder.path);
        if (folder.current) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            dir_->setCurrentItem(item);
        }
    }
}

FileListBinding::FileListBinding(const FileList& files, FileListWidget* list,
                                 std::function<void(int)> on_click)
    : QObject(list), files_(files), list_(list), on_click_(std::move(on_click)) {
    connect(list_, &FileListWidget::chosen, this, [this](int row) { on_click_(row); });
    refresh();
}

void FileListBinding::refresh() {
    const QSignalBlocker block(list_);
    QStringList shown;
    for (int i = 0; i < list_->count(); ++i) {
        shown.append(list_->item(i)->text());
    }
    if (shown != files_.names()) {
        list_->clear();
        list_->addItems(files_.names());
    }
    if (list_->currentRow() != files_.selected()) {
        list_->setCurrentRow(files_.selected());
    }
}

}  // namespace koma
