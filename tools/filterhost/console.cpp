#include "console.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

static void WriteText(DWORD which, const std::string &utf8)
{
    HANDLE handle = GetStdHandle(which);
    if (handle == NULL || handle == INVALID_HANDLE_VALUE || utf8.empty())
        return;
    DWORD mode, written;
    if (GetConsoleMode(handle, &mode)) {
        int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), NULL, 0);
        std::wstring wide(length, L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &wide[0], length);
        WriteConsoleW(handle, wide.data(), (DWORD)wide.size(), &written, NULL);
    } else {
        WriteFile(handle, utf8.data(), (DWORD)utf8.size(), &written, NULL);
    }
}

void Out(const std::string &utf8)
{
    WriteText(STD_OUTPUT_HANDLE, utf8);
}

void Err(const std::string &utf8)
{
    WriteText(STD_ERROR_HANDLE, utf8);
}

std::string FromShiftJis(const char *bytes, int length)
{
    int wideLength = MultiByteToWideChar(932, 0, bytes, length, NULL, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(932, 0, bytes, length, &wide[0], wideLength);
    int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, NULL, 0, NULL, NULL);
    std::string utf8(utf8Length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], utf8Length, NULL, NULL);
    return utf8;
}

std::string Format(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    char buffer[1024];
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}
