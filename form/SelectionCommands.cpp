#include "form/SelectionCommands.h"

namespace form {

bool FocusesPath(PathRequest request, bool listHasFocus) {
    return request != PathRequest::F6 || listHasFocus;
}

std::vector<bool> EveryOther(std::vector<bool> selected) {
    for (std::size_t k = 0; k < selected.size(); ++k)
        selected[k] = k % 2 == 0;
    return selected;
}

std::vector<bool> EveryOtherInAddition(std::vector<bool> selected) {
    for (std::size_t k = 0; k < selected.size(); k += 2)
        selected[k] = true;
    return selected;
}

std::vector<bool> Inverse(std::vector<bool> selected) {
    selected.flip();
    return selected;
}

MenuPosition Button1MenuPosition(int windowLeft, int windowTop, int paneLeft, int paneTop,
                                 int filterStripHeight) {
    return {windowLeft + paneLeft + 6, windowTop + paneTop + filterStripHeight + 25};
}

} // namespace form
