// UTF-8 and UTF-16 text on Win32 (not a public header: only the files in
// platform/win32/ include it). The program's strings are UTF-8; Windows'
// wide interfaces take UTF-16.
#pragma once
#include <string>

std::wstring utf16FromUtf8(const std::string& text);
std::string utf8FromUtf16(const wchar_t* text);
