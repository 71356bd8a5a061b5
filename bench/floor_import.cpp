// The floor with one system library more, each called once as a program would call it: what
// importing it costs a process start (cmd_bench's `versus` rows, docs/performance.md).

#include <windows.h>

#include <shellapi.h>

int main() {
#if defined(KRONALO_FLOOR_SHELL32)
    int count = 0;
    ::LocalFree(::CommandLineToArgvW(::GetCommandLineW(), &count));
#elif defined(KRONALO_FLOOR_USER32)
    (void)::GetSystemMetrics(SM_CXSCREEN);
#endif
    return 0;
}
