#pragma once
// Windows shows text as UTF-16; the game writes UTF-8. One conversion for the console and the
// message box alike.

#include <windows.h>

#include <string>

// `utf8` as UTF-16; empty when it holds nothing Windows can convert.
inline std::wstring wideText(const std::string& utf8) {
    const int length = int(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring text(std::size_t(wide > 0 ? wide : 0), L'\0');
    if (wide > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text.data(), wide);
    }
    return text;
}
