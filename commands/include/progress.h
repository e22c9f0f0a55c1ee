#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace commands {

// The user stopped a long walk. The command ends as if its trap had caught a failure right
// before the next change, and nothing is shown.
class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("The command was stopped.") {}
};

// What a long walk is doing.
enum class Work { DeletingFiles, RenamingFiles, DeletingFolder, RestoringFiles };

using NameView = std::basic_string_view<std::filesystem::path::value_type>;

// How far a walk has got, told right before its next change.
struct WorkStep {
    Work work = Work::DeletingFiles;
    std::uint64_t done = 0;   // changes made so far
    std::uint64_t total = 0;  // changes to make; 0 when not known beforehand
    NameView folder;          // where the next change is made
    NameView name;            // the entry that it changes
};

// The window's side of a long walk. The walk calls Before ahead of every change; the window
// gets a turn of its event loop when its clock has run out, never for every change, and a walk
// that was stopped ends there with Cancelled.
class Progress {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~Progress() = default;

    // Ahead of the walk's next change. Throws Cancelled once the walk is stopped.
    void Before(const WorkStep& step)
    {
        walking_ = true;
        if (!stopped_ && Clock::now() < nextTurn_)
            return;
        if (!stopped_) {
            Turn(step);
            nextTurn_ = Clock::now() + turnEvery_;
        }
        if (stopped_)
            throw Cancelled();
    }
    // Between the parts of work that changes nothing, such as reading and sorting a large
    // folder before the walk's first change: the window gets a turn when its clock says so.
    // A stop is seen at the next Before.
    void Between()
    {
        if (stopped_ || Clock::now() < nextTurn_)
            return;
        Breathe();
        nextTurn_ = Clock::now() + turnEvery_;
    }
    // Stops the walk before its next change.
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }
    // True once the running command has reported a step: it walks over many changes.
    bool Walking() const { return walking_; }

protected:
    // Starts a new command: not stopped, the first turn due after turnEvery.
    void Restart(Clock::duration turnEvery)
    {
        stopped_ = walking_ = false;
        turnEvery_ = turnEvery;
        nextTurn_ = Clock::now() + turnEvery;
    }
    // Shows the step and lets the window answer; may Stop the walk.
    virtual void Turn(const WorkStep& step) = 0;
    // A turn with no step to show.
    virtual void Breathe() {}

private:
    bool stopped_ = false;
    bool walking_ = false;
    Clock::duration turnEvery_ = Clock::duration::max() / 2;
    Clock::time_point nextTurn_ = Clock::time_point::max();
};

// The progress of a walk that nobody watches: it never gets a turn and is never stopped.
inline Progress& Unwatched()
{
    class Nobody final : public Progress {
        void Turn(const WorkStep&) override {}
    };
    static Nobody nobody;
    return nobody;
}

} // namespace commands
