// File names, the command line and the environment as UTF-8 on Win32.
//
// The C library's narrow calls (fopen, getenv, main's argv) pass names
// through the ANSI code page, which can't hold most of the world's letters;
// these use the wide calls and convert between UTF-16 and UTF-8.
#include "platform/paths.h"
#include "platform/win32/state.h"
#include "platform/win32/text.h"

#include <shellapi.h>  // after <windows.h>

std::wstring utf16FromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string utf8FromUtf16(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));  // without the terminating zero
    return narrow;
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; i++)
            arguments.push_back(utf8FromUtf16(wide[i]));
        LocalFree(wide);
        return arguments;
    }
    // Without the wide command line, what the C library made of it.
    for (int i = 0; i < argc; i++)
        arguments.push_back(argv[i]);
    return arguments;
}

std::string environmentValue(const char* name)
{
    const std::wstring wideName = utf16FromUtf8(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return std::string();
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), &value[0], size);
    value.resize(length < size ? length : 0);
    return utf8FromUtf16(value.c_str());
}

std::FILE* fileOpen(const std::string& path, const char* mode)
{
    return _wfopen(utf16FromUtf8(path).c_str(), utf16FromUtf8(mode).c_str());
}
