#pragma once

#include <QListWidget>

#include <string>
#include <vector>

namespace window {

/// The file list: the files of the list folder through the list mask, sorted, with extended
/// multiple selection. The list folder is always the process's current directory.
class TFileList : public QListWidget {
    Q_OBJECT

public:
    explicit TFileList(QWidget* parent = nullptr);

    /// Moves the list to `path` (relative to the list folder when not absolute); an empty text
    /// does nothing. Reads the folder when it differs from the list folder; reads the list folder
    /// again when the folder cannot be entered.
    void MoveTo(const std::string& path);

    /// Sets the list mask; reads the folder again when the text differs (case counts).
    void SetMask(const std::string& mask);

    /// Empties the list and fills it again from the list folder through the list mask.
    void ReadFolder();

    /// The list folder as the system reports the current directory.
    const std::string& Folder() const { return folder_; }
    const std::string& Mask() const { return mask_; }

    /// The item names as bytes, in list order, and their selection.
    std::vector<std::string> ItemNames() const;
    std::vector<bool> SelectedFlags() const;

    /// Sets every item's selection at once; `flags` holds one flag per item.
    void SetSelectedFlags(const std::vector<bool>& flags);

private:
    std::string folder_;
    std::string mask_ = "*.*";
};

} // namespace window
