#pragma once

#include <string>
#include <vector>

namespace form {

/// What the file list's control must do for its rules.
class TListView {
public:
    virtual ~TListView() = default;
    /// Shows `names` as the list's items, in this order, none selected and none focused.
    virtual void ShowItems(const std::vector<std::string>& names) = 0;
    /// Shows the busy pointer, or puts back the pointer in use before.
    virtual void SetBusy(bool busy) = 0;
};

/// The file list's rules: the list folder, which is always the process's current directory, the
/// list mask, and the names read from the one through the other.
class FileListState {
public:
    /// Starts in the process's current directory with the mask "*.*", the list not yet read.
    explicit FileListState(TListView& view);

    /// Moves the list to `path` (relative to the list folder where it is not absolute); an empty
    /// text does nothing. Where the folder differs from the list folder (as the system compares
    /// names) it becomes the current directory and the list folder, and is read; where it cannot
    /// be entered, the list folder is read again.
    void MoveTo(const std::string& path);

    /// Sets the list mask; reads the folder again when the text differs (case counts).
    void SetMask(const std::string& mask);

    /// Makes the list folder current again, and shows its files through the list mask; the busy
    /// pointer shows from the 101st name to the end.
    void ReadFolder();

    /// The list folder as the system reports the current directory.
    const std::string& Folder() const { return folder_; }
    const std::string& Mask() const { return mask_; }
    /// The names the list shows, as bytes, in list order.
    const std::vector<std::string>& Items() const { return items_; }

private:
    TListView& view_;
    std::string folder_;
    std::string mask_ = "*.*";
    std::vector<std::string> items_;
};

} // namespace form
