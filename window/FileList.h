#pragma once

#include "form/FileListState.h"

#include <QListWidget>

#include <string>
#include <vector>

namespace window {

/// The file list: the files of the list folder through the list mask, as its rules read them,
/// with extended multiple selection.
class TFileList : public QListWidget, private form::TListView {
    Q_OBJECT

public:
    explicit TFileList(QWidget* parent = nullptr);

    /// The list's folder and mask, and their rules.
    form::FileListState& State() { return state_; }
    void MoveTo(const std::string& path) { state_.MoveTo(path); }
    void SetMask(const std::string& mask) { state_.SetMask(mask); }
    void ReadFolder() { state_.ReadFolder(); }
    const std::string& Folder() const { return state_.Folder(); }
    const std::string& Mask() const { return state_.Mask(); }

    /// The item names as bytes, in list order, and their selection.
    const std::vector<std::string>& ItemNames() const { return state_.Items(); }
    std::vector<bool> SelectedFlags() const;

    /// Sets every item's selection at once; `flags` holds one flag per item.
    void SetSelectedFlags(const std::vector<bool>& flags);

private:
    void ShowItems(const std::vector<std::string>& names) override;
    void SetBusy(bool busy) override;

    form::FileListState state_;
};

} // namespace window
