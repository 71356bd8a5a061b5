#pragma once

#include "platform/Volumes.h"

#include <QComboBox>
#include <QList>
#include <QTimer>
#include <QTreeView>

class QStandardItem;
class QStandardItemModel;

namespace window {

/// The user's desktop folder, or the home folder where there is none.
QString DesktopFolder();

/// One of the places a Linux desktop starts from, at the top of the folder tree.
struct Place {
    QString name;
    QString path; ///< Empty for a place that has no folder.
    enum class Kind { Desktop, Home, UserFolder, Volume, NetworkVolume, Root } kind;

    friend bool operator==(const Place&, const Place&) = default;
};

/// The places in the order the tree shows them: the desktop, the home folder, the user folders
/// that exist (documents, downloads, music, pictures, videos), the removable and network volumes
/// among `volumes`, and the file system's root.
QList<Place>
DesktopPlaces(const std::vector<platform::Volume>& volumes = platform::MountedVolumes());

/// The folder tree: the desktop's places at the top, each opening into its folders. It reports a
/// changed selection after its change delay; a further change within the delay restarts it.
class TFolderTree : public QTreeView {
    Q_OBJECT

public:
    explicit TFolderTree(QWidget* parent = nullptr, const QList<Place>& places = DesktopPlaces());

    /// Milliseconds between a selection change and the Changed signal; 0 reports at once.
    void SetChangeDelay(int milliseconds);

    /// The selected folder's path; empty when nothing or a place without a folder is selected.
    QString SelectedPath() const;

    /// Selects `path` under the place that holds it and shows it; false when no place does.
    /// Changed follows unless `report` is false.
    bool SelectFolder(const QString& path, bool report = true);

    /// True when `path` names a folder the tree can show. The selection is not changed.
    bool CanResolve(const QString& path) const;

    /// The places at the top.
    const QList<Place>& Places() const { return places_; }

signals:
    /// The selection has changed and the delay has passed.
    void Changed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Fill(QStandardItem* item);
    void SelectionMoved();
    void ShowContextMenu(const QPoint& position);

    QStandardItemModel* model_;
    QList<Place> places_;
    QTimer delay_;
    /// True while a selection is made that is not to be reported.
    bool quiet_ = false;
};

/// The folder drop-down: the same places, and the folders from a place down to the current one.
/// A pick is reported with its path.
class TFolderComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TFolderComboBox(QWidget* parent = nullptr,
                             const QList<Place>& places = DesktopPlaces());

    /// Shows `path` as the current entry, under the place that holds it.
    void ShowFolder(const QString& path);

signals:
    void Picked(const QString& path);

private:
    QList<Place> places_;
};

} // namespace window
