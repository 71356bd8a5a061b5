#pragma once

#include <QComboBox>
#include <QTimer>
#include <QTreeView>

class QFileSystemModel;

namespace window {

/// The user's desktop folder, or the home folder where there is none.
QString DesktopFolder();

/// The folder tree: folders only, from the file system's root down. It reports a changed
/// selection after its change delay; a further change within the delay restarts it.
class TFolderTree : public QTreeView {
    Q_OBJECT

public:
    explicit TFolderTree(QWidget* parent = nullptr);

    /// Milliseconds between a selection change and the Changed signal; 0 reports at once.
    void SetChangeDelay(int milliseconds);

    /// The selected folder's path; empty when nothing is selected.
    QString SelectedPath() const;

    /// Selects `path` and shows it; false when the tree cannot resolve it.
    bool SelectFolder(const QString& path);

    /// True when the tree can resolve `path` to one of its folders. The selection is not changed.
    bool CanResolve(const QString& path) const;

signals:
    /// The selection has changed and the delay has passed.
    void Changed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void SelectionMoved();
    void ShowContextMenu(const QPoint& position);

    QFileSystemModel* model_;
    QTimer delay_;
};

/// The folder drop-down: the desktop, the home folder, the root, each mounted volume, and the
/// folders above the current one. A pick is reported with its path.
class TFolderComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TFolderComboBox(QWidget* parent = nullptr);

    /// Shows `path` as the current entry, listing its ancestors.
    void ShowFolder(const QString& path);

signals:
    void Picked(const QString& path);
};

} // namespace window
