#pragma once

// For the Windows suites under Wine: the real shell's questions, answered as a user would.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

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

// While it lives, answers each dialog of this process as it shows, by clicking the next button
// of its list (the last one again once the list is used up). Wine's shell paints its question's
// text itself, so no control holds the text to check.
class ShellDialogAnswerer {
public:
    explicit ShellDialogAnswerer(std::vector<int> answers)
        : answers_(std::move(answers)), thread_([this] { Run(); })
    {
    }
    ~ShellDialogAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    int answered() const { return answered_; }

private:
    void Run()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            EnumWindows(&ShellDialogAnswerer::Visit, reinterpret_cast<LPARAM>(this));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    static BOOL CALLBACK Visit(HWND window, LPARAM self)
    {
        auto* answerer = reinterpret_cast<ShellDialogAnswerer*>(self);
        const int answer =
            answerer->answers_[std::min<std::size_t>(answerer->answered_, answerer->answers_.size() - 1)];
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        const HWND button = GetDlgItem(window, answer);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window) || !button ||
            window == answerer->last_)
            return TRUE;
        answerer->last_ = window;
        SendMessageW(button, BM_CLICK, 0, 0);  // returns once the dialog took the click
        ++answerer->answered_;
        return FALSE;
    }

    const std::vector<int> answers_;
    HWND last_ = nullptr;
    std::atomic<int> answered_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
