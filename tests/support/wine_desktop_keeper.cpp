// SPDX-License-Identifier: GPL-3.0-or-later
// wine_desktop_keeper READY_FILE: holds the wine prefix's desktop open while the tests run.
//
// Wine starts the desktop's process (explorer.exe /desktop) for the first program that needs a
// window, with that program's output, and ends it about a second after the last such program
// has gone. A test that happened to start it would hand CTest an output that stays open as long
// as other tests keep the desktop busy: CTest then waits for the test long after it has ended.
// Started first, with no output of a test's, this program makes the desktop once and keeps it
// until the wine server is ended; READY_FILE (a path relative to the current folder) is written
// once the desktop is there.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: wine_desktop_keeper READY_FILE\n", stderr);
        return 2;
    }
    // A message-only window, as Qt's event loop makes: creating it connects the program to the
    // desktop, with no display.
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        std::fprintf(stderr, "wine_desktop_keeper: no window (error %lu)\n", GetLastError());
        return 1;
    }
    std::FILE* ready = std::fopen(argv[1], "w");
    if (!ready || std::fclose(ready) != 0) {
        std::fprintf(stderr, "wine_desktop_keeper: cannot write %s\n", argv[1]);
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
