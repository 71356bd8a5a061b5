#include "window/FolderPanes.h"

#include "form/FormText.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

namespace window {

QString DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return QDir::cleanPath(desktop);
    return QDir::homePath();
}

TFolderTree::TFolderTree(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    // A tree that refreshes itself on every change on disk would move under the user's pointer.
    model_->setOption(QFileSystemModel::DontWatchForChanges);
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(19);
    setContextMenuPolicy(Qt::CustomContextMenu);

    delay_.setSingleShot(true);
    delay_.setInterval(0);
    connect(&delay_, &QTimer::timeout, this, &TFolderTree::Changed);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFolderTree::SelectionMoved);
    connect(this, &QWidget::customContextMenuRequested, this, &TFolderTree::ShowContextMenu);
}

void TFolderTree::SetChangeDelay(int milliseconds) {
    delay_.setInterval(milliseconds);
}

QString TFolderTree::SelectedPath() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? model_->filePath(current) : QString();
}

bool TFolderTree::CanResolve(const QString& path) const {
    const QFileInfo info(path);
    return info.isDir() && model_->index(info.absoluteFilePath()).isValid();
}

bool TFolderTree::SelectFolder(const QString& path) {
    const QModelIndex index = model_->index(QFileInfo(path).absoluteFilePath());
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

void TFolderTree::SelectionMoved() {
    // While the window is being built the delay is zero and the change is handled at once.
    if (delay_.interval() == 0)
        emit Changed();
    else
        delay_.start();
}

void TFolderTree::mousePressEvent(QMouseEvent* event) {
    // A right click selects the folder it hits before its menu opens.
    if (event->button() == Qt::RightButton) {
        const QModelIndex hit = indexAt(event->position().toPoint());
        if (hit.isValid())
            setCurrentIndex(hit);
    }
    QTreeView::mousePressEvent(event);
}

void TFolderTree::ShowContextMenu(const QPoint& position) {
    const QModelIndex hit = indexAt(position);
    if (!hit.isValid())
        return;
    const QString path = model_->filePath(hit);
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(form::text::kOpenInFileManager),
                   [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    menu.addAction(QString::fromUtf8(form::text::kCopyPath),
                   [path] { QApplication::clipboard()->setText(path); });
    menu.exec(viewport()->mapToGlobal(position));
}

TFolderComboBox::TFolderComboBox(QWidget* parent) : QComboBox(parent) {
    setMaxVisibleItems(20);
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit Picked(itemData(index).toString()); });
}

void TFolderComboBox::ShowFolder(const QString& path) {
    QStringList folders{DesktopFolder(), QDir::homePath(), QDir::rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QByteArray type = volume.fileSystemType();
        const bool real = volume.device().startsWith("/dev/") || type == "cifs" || type == "smb3" ||
                          type.startsWith("nfs");
        if (volume.isValid() && volume.isReady() && real)
            folders << volume.rootPath();
    }
    // The current folder and the folders above it, from the root down.
    QStringList ancestors;
    for (QDir dir(path); !path.isEmpty();) {
        ancestors.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    folders << ancestors;
    folders.removeDuplicates();

    QSignalBlocker quiet(this);
    clear();
    QFileIconProvider icons;
    for (const QString& folder : folders) {
        const QString name = folder == QDir::rootPath() ? folder : QFileInfo(folder).fileName();
        addItem(icons.icon(QFileInfo(folder)), name, folder);
    }
    setCurrentIndex(findData(QDir(path).absolutePath()));
}

} // namespace window
