#include "form/FileListState.h"

#include "form/FileListing.h"
#include "platform/DirectorySearch.h"
#include "platform/Folders.h"

namespace form {

FileListState::FileListState(TListView& view) : view_(view) {
    if (platform::CurrentFolder(folder_))
        folder_.clear();
}

void FileListState::MoveTo(const std::string& path) {
    if (path.empty())
        return;
    std::string target;
    if (!platform::FullPath(path, target) && platform::SameFolderName(target, folder_))
        return;
    // A relative path counts from the list folder, which is the current directory.
    if (!platform::ChangeFolder(path))
        platform::CurrentFolder(folder_);
    ReadFolder();
}

void FileListState::SetMask(const std::string& mask) {
    if (mask == mask_)
        return;
    mask_ = mask;
    ReadFolder();
}

void FileListState::ReadFolder() {
    platform::ChangeFolder(folder_);
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
