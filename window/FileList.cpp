#include "window/FileList.h"

#include <QApplication>
#include <QFile>

namespace window {

TFileList::TFileList(QWidget* parent) : QListWidget(parent), state_(*this) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void TFileList::ShowItems(const std::vector<std::string>& names) {
    clear();
    // Added in pieces of many names: one insertion for the model and the view per piece, not one
    // per name, and no second copy of a long list at once.
    constexpr std::size_t kPiece = 4096;
    QStringList texts;
    for (std::size_t start = 0; start < names.size(); start += kPiece) {
        texts.clear();
        const std::size_t end = std::min(names.size(), start + kPiece);
        for (std::size_t i = start; i < end; ++i)
            texts.append(QFile::decodeName(QByteArray::fromStdString(names[i])));
        addItems(texts);
    }
}

void TFileList::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::vector<bool> TFileList::SelectedFlags() const {
    std::vector<bool> flags;
    flags.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i)
        flags.push_back(item(i)->isSelected());
    return flags;
}

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
