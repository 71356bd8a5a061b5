// Kronalo's file list alone, for the side-by-side measurements: reads the current folder through
// "*.avi;*.wmv" into the real, sorted list widget on the offscreen platform, then ends.

#include "window/FileList.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    window::TFileList list;
    list.SetMask("*.avi;*.wmv");
    std::fprintf(stderr, "%d\n", list.count());
    return list.count() > 0 ? 0 : 1;
}
