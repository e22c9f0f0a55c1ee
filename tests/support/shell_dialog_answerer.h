#pragma once

// For the Windows suites under Wine: the real shell's questions, answered as a user would.

#include "under_wine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

// While it lives, answers each dialog of this process as it shows, by clicking the next button
// of its list (the last one again once the list is used up). Wine's shell paints its question's
// text itself, so no control holds the text to check.
class ShellDialogAnswerer {
public:
    // `meanwhile` runs once a question shows, before it is answered: another program at work
    // while the user reads.
    explicit ShellDialogAnswerer(std::vector<int> answers, std::function<void()> meanwhile = {})
        : answers_(std::move(answers)), meanwhile_(std::move(meanwhile)), thread_([this] { Run(); })
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
        if (answerer->meanwhile_)
            answerer->meanwhile_();
        const HWND owner = GetWindow(window, GW_OWNER);
        if (owner && !IsWindowEnabled(owner))
            ++answerer->answeredModally_;
        SendMessageW(button, BM_CLICK, 0, 0);  // returns once the dialog took the click
        ++answerer->answered_;
        return FALSE;
    }

    const std::vector<int> answers_;
    const std::function<void()> meanwhile_;
    HWND last_ = nullptr;
    std::atomic<int> answered_{0};
    std::atomic<int> answeredModally_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
