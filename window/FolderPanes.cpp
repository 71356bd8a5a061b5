#include "window/FolderPanes.h"

#include "form/FormText.h"
#include "form/WindowLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

namespace window {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

QString Clean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

/// The place that holds `path`: the one whose folder is the longest start of it.
qsizetype PlaceOf(const QList<Place>& places, const QString& path) {
    qsizetype best = -1;
    qsizetype length = -1;
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QString& folder = places[i].path;
        const bool holds =
            !folder.isEmpty() &&
            (path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/'));
        if (holds && folder.size() > length) {
            best = i;
            length = folder.size();
        }
    }
    return best;
}

/// The folders from the place's folder (not included) down to `path`.
QStringList FoldersBelow(const QString& place, const QString& path) {
    QStringList folders;
    for (QString folder = path; folder != place && folder.size() > place.size();
         folder = QFileInfo(folder).path())
        folders.prepend(folder);
    return folders;
}

/// The style's folder icon for every entry: one lookup, never one per folder through the icon
/// theme.
QIcon IconOf(Place::Kind) {
    static const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    return folder;
}

} // namespace

QString DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return QDir::cleanPath(desktop);
    return QDir::homePath();
}

QList<Place> DesktopPlaces(const std::vector<platform::Volume>& volumes) {
    QList<Place> places;
    const QString home = QDir::cleanPath(QDir::homePath());
    const QString desktop = DesktopFolder();
    if (desktop != home)
        places.push_back({QStandardPaths::displayName(QStandardPaths::DesktopLocation), desktop,
                          Place::Kind::Desktop});
    places.push_back(
        {QStandardPaths::displayName(QStandardPaths::HomeLocation), home, Place::Kind::Home});
    for (const auto type : {QStandardPaths::DocumentsLocation, QStandardPaths::DownloadLocation,
                            QStandardPaths::MusicLocation, QStandardPaths::PicturesLocation,
                            QStandardPaths::MoviesLocation}) {
        const QString folder = QDir::cleanPath(QStandardPaths::writableLocation(type));
        // Where no such folder is set up, the location falls back to the home folder itself.
        if (folder != home && QFileInfo(folder).isDir())
            places.push_back({QStandardPaths::displayName(type), folder, Place::Kind::UserFolder});
    }
    for (const platform::Volume& volume : volumes) {
        if (!volume.network && !volume.removable)
            continue;
        const QString root = QFile::decodeName(QByteArray::fromStdString(volume.root));
        places.push_back({QFileInfo(root).fileName(), root,
                          volume.network ? Place::Kind::NetworkVolume : Place::Kind::Volume});
    }
    places.push_back({QStringLiteral("/"), QDir::rootPath(), Place::Kind::Root});
    return places;
}

TFolderTree::TFolderTree(QWidget* parent, const QList<Place>& places)
    : QTreeView(parent), model_(new QStandardItemModel(this)), places_(places) {
    for (const Place& place : places_) {
        auto* item = new QStandardItem(IconOf(place.kind), place.name);
        item->setData(place.path, kPathRole);
        item->setEditable(false);
        if (!place.path.isEmpty())
            item->appendRow(new QStandardItem); // Filled when first opened.
        model_->appendRow(item);
    }
    setModel(model_);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(form::layout::kTreeIndent);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Folders are read when opened, never watched: a tree that refreshed itself on every
    // change on disk would move under the user's pointer.
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { Fill(model_->itemFromIndex(index)); });

    delay_.setSingleShot(true);
    delay_.setInterval(0);
    connect(&delay_, &QTimer::timeout, this, &TFolderTree::Changed);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFolderTree::SelectionMoved);
    connect(this, &QWidget::customContextMenuRequested, this, &TFolderTree::ShowContextMenu);
}

void TFolderTree::Fill(QStandardItem* item) {
    if (!item || item->data(kFilledRole).toBool())
        return;
    item->setData(true, kFilledRole);
    item->removeRows(0, item->rowCount());
    const QString folder = item->data(kPathRole).toString();
    const QIcon icon = IconOf(Place::Kind::UserFolder);
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* child = new QStandardItem(icon, name);
        child->setData(dir.filePath(name), kPathRole);
        child->setEditable(false);
        child->appendRow(new QStandardItem);
        item->appendRow(child);
    }
}

void TFolderTree::SetChangeDelay(int milliseconds) {
    delay_.setInterval(milliseconds);
}

QString TFolderTree::SelectedPath() const {
    return currentIndex().data(kPathRole).toString();
}

bool TFolderTree::CanResolve(const QString& path) const {
    return QFileInfo(path).isDir() && PlaceOf(places_, Clean(path)) >= 0;
}

bool TFolderTree::SelectFolder(const QString& path, bool report) {
    const QString target = Clean(path);
    const qsizetype place = PlaceOf(places_, target);
    if (place < 0 || !QFileInfo(target).isDir())
        return false;
    QStandardItem* item = model_->item(static_cast<int>(place));
    for (const QString& folder : FoldersBelow(places_[place].path, target)) {
        Fill(item);
        QStandardItem* next = nullptr;
        for (int row = 0; row < item->rowCount() && !next; ++row)
            if (item->child(row)->data(kPathRole).toString() == folder)
                next = item->child(row);
        if (!next)
            break;
        expand(item->index());
        item = next;
    }
    quiet_ = !report;
    setCurrentIndex(item->index());
    quiet_ = false;
    scrollTo(item->index());
    return true;
}

void TFolderTree::SelectionMoved() {
    if (quiet_)
        return;
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
    const QString path = indexAt(position).data(kPathRole).toString();
    if (path.isEmpty())
        return;
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(form::text::kOpenInFileManager),
                   [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    menu.addAction(QString::fromUtf8(form::text::kCopyPath),
                   [path] { QApplication::clipboard()->setText(path); });
    menu.exec(viewport()->mapToGlobal(position));
}

TFolderComboBox::TFolderComboBox(QWidget* parent, const QList<Place>& places)
    : QComboBox(parent), places_(places) {
    setMaxVisibleItems(form::layout::kComboBoxEntries);
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit Picked(itemData(index).toString()); });
}

void TFolderComboBox::ShowFolder(const QString& path) {
    const QString target = Clean(path);
    const qsizetype holder = PlaceOf(places_, target);
    const QSignalBlocker quiet(this);
    clear();
    int current = -1;
    for (qsizetype i = 0; i < places_.size(); ++i) {
        addItem(IconOf(places_[i].kind), places_[i].name, places_[i].path);
        if (i != holder)
            continue;
        current = count() - 1;
        const QStringList below = FoldersBelow(places_[i].path, target);
        for (qsizetype depth = 0; depth < below.size(); ++depth) {
            const QString indent(static_cast<int>(2 * (depth + 1)), QLatin1Char(' '));
            addItem(IconOf(Place::Kind::UserFolder), indent + QFileInfo(below[depth]).fileName(),
                    below[depth]);
            current = count() - 1;
        }
    }
    setCurrentIndex(current);
}

} // namespace window
