#include "form/FileListState.h"

#include "form/FileListing.h"
#include "platform/DirectorySearch.h"
#include "platform/Folders.h"

namespace form {

FileListState::FileListState(TListView& view) : view_(view) {
    if (const std::error_code unknown = platform::CurrentFolder(folder_))
        folder_.clear();
}

void FileListState::MoveTo(const std::string& path) {
    if (path.empty())
        return;
    std::string target;
    const std::error_code noFullPath = platform::FullPath(path, target);
    if (!noFullPath && platform::SameFolderName(target, folder_))
        return;
    // A relative path counts from the list folder, which is the current directory. The list
    // folder is the new one as the system reports it, or as the path was made absolute.
    const std::error_code notEntered = platform::ChangeFolder(path);
    if (!notEntered && platform::CurrentFolder(folder_) && !target.empty())
        folder_ = target;
    ReadFolder();
}

void FileListState::SetMask(const std::string& mask) {
    if (mask == mask_)
        return;
    mask_ = mask;
    ReadFolder();
}

void FileListState::ReadFolder() {
    // A folder that cannot be entered any more shows nothing, rather than whatever the current
    // directory holds.
    if (const std::error_code notEntered = platform::ChangeFolder(folder_)) {
        items_.clear();
        view_.ShowItems(items_);
        return;
    }
    // The pointer in use before comes back however the reading ends.
    struct Busy {
        TListView& view;
        bool shown = false;
        ~Busy() {
            if (shown)
                view.SetBusy(false);
        }
    } busy{view_};
    items_ = ListFolder(mask_, [&busy] {
        busy.shown = true;
        busy.view.SetBusy(true);
    });
    view_.ShowItems(items_);
}

} // namespace form
