#include "window/FileList.h"

#include "platform/DirectorySearch.h"
#include "window/FileListing.h"

#include <QApplication>
#include <QFile>

#include <filesystem>

namespace window {
namespace {

/// Holds the busy pointer from the moment it is asked for until the end of the scope.
class BusyPointer {
public:
    void Show() {
        if (!shown_) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            shown_ = true;
        }
    }
    ~BusyPointer() {
        if (shown_)
            QApplication::restoreOverrideCursor();
    }

private:
    bool shown_ = false;
};

std::string CurrentFolder() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}

} // namespace

TFileList::TFileList(QWidget* parent) : QListWidget(parent), folder_(CurrentFolder()) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void TFileList::MoveTo(const std::string& path) {
    if (path.empty())
        return;
    const std::filesystem::path target = std::filesystem::path(folder_) / path;
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    if (!error && platform::SameFolderName(resolved.string(), folder_))
        return;
    std::filesystem::current_path(target, error);
    if (!error)
        folder_ = CurrentFolder();
    ReadFolder();
}

void TFileList::SetMask(const std::string& mask) {
    if (mask == mask_)
        return;
    mask_ = mask;
    ReadFolder();
}

void TFileList::ReadFolder() {
    std::error_code ignored;
    std::filesystem::current_path(folder_, ignored);
    clear();
    BusyPointer busy;
    const std::vector<std::string> names = ListFolder(mask_, [&busy] { busy.Show(); });
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(name)));
        // The bytes are kept: a name that is not valid text must still reach the script intact.
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
        addItem(item);
    }
}

std::vector<std::string> TFileList::ItemNames() const {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i)
        names.push_back(item(i)->data(Qt::UserRole).toByteArray().toStdString());
    return names;
}

std::vector<bool> TFileList::SelectedFlags() const {
    std::vector<bool> flags;
    flags.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i)
        flags.push_back(item(i)->isSelected());
    return flags;
}

} // namespace window

namespace window {

void TFileList::SetSelectedFlags(const std::vector<bool>& flags) {
    // One selection change for the whole list, not one per item.
    QItemSelection selection;
    const int n = std::min(count(), static_cast<int>(flags.size()));
    for (int k = 0; k < n;) {
        if (!flags[static_cast<std::size_t>(k)]) {
            ++k;
            continue;
        }
        const int first = k;
        while (k < n && flags[static_cast<std::size_t>(k)])
            ++k;
        selection.select(model()->index(first, 0), model()->index(k - 1, 0));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

} // namespace window
