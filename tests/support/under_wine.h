#pragma once

// What the Windows suites need to know of Wine, under which they run on Linux.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline bool RunsUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The real shell runs only under Wine with a scratch Trash (on Windows, the Recycle Bin is the
// user's), and asks only on an X display.
#define SKIP_UNLESS_WINE_CAN_ASK()                                                                \
    if (!RunsUnderWine() || !std::getenv("XDG_DATA_HOME") || !std::getenv("DISPLAY"))           \
    GTEST_SKIP() << "needs Wine, a scratch XDG_DATA_HOME and an X display"

// The Windows form of a Linux path, through Wine's drive Z:, which is the Linux root.
inline std::filesystem::path FromLinuxPath(const std::string& linuxPath)
{
    std::wstring path = L"Z:" + std::filesystem::path(linuxPath).native();
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

// The freedesktop.org Trash that Wine's shell moves files into: the scratch XDG_DATA_HOME's.
inline std::filesystem::path WineTrash()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    return FromLinuxPath(dataHome ? dataHome : "") / "Trash";
}
