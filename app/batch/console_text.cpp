// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch/console_text.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::FILE* c_stream(ConsoleStream stream) {
    return stream == ConsoleStream::Output ? stdout : stderr;
}

#ifdef _WIN32
// The console behind `stream`, or none where it is redirected.
HANDLE console_of(ConsoleStream stream) {
    const HANDLE handle =
        GetStdHandle(stream == ConsoleStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return nullptr;
    }
    return handle;
}
#endif

} // namespace

void write_console(ConsoleStream stream, const QString& text) {
    std::FILE* file = c_stream(stream);
#ifdef _WIN32
    // The console's code page is seldom UTF-8: bytes would show as mojibake.
    if (const HANDLE console = console_of(stream)) {
        std::fflush(file);
        DWORD written = 0;
        WriteConsoleW(console, reinterpret_cast<const wchar_t*>(text.utf16()),
                      static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
    std::fflush(file);
}

bool is_terminal(ConsoleStream stream) {
#ifdef _WIN32
    return console_of(stream) != nullptr;
#else
    return isatty(stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
#endif
}
