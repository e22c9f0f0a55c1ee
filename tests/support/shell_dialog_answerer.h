#pragma once

// For the Windows suites under Wine: the real shell's questions, answered as a user would.

#include "under_wine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

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
    // How many of the answered questions were modal: owned by a window, which took no input
    // while the question was open.
    int answeredModally() const { return answeredModally_; }

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
        const HWND owner = GetWindow(window, GW_OWNER);
        if (owner && !IsWindowEnabled(owner))
            ++answerer->answeredModally_;
        SendMessageW(button, BM_CLICK, 0, 0);  // returns once the dialog took the click
        ++answerer->answered_;
        return FALSE;
    }

    const std::vector<int> answers_;
    HWND last_ = nullptr;
    std::atomic<int> answered_{0};
    std::atomic<int> answeredModally_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
