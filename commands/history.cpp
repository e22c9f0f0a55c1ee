#include "history.h"

#include <iterator>
#include <utility>

namespace commands {

void History::Enter(Done done)
{
    if (done.steps.empty())
        return;
    done.serial = ++entered_;
    undo_.push_back(std::move(done));
    redo_.clear();
}

void History::Undone(std::vector<Done::Step> left, std::vector<Done::Step> undone)
{
    Move(undo_, redo_, std::move(left), std::move(undone), true);
}

void History::Redone(std::vector<Done::Step> left, std::vector<Done::Step> redone)
{
    Move(redo_, undo_, std::move(left), std::move(redone), false);
}

void History::Move(std::vector<Done>& from, std::vector<Done>& to, std::vector<Done::Step> left,
                   std::vector<Done::Step> moved, bool first)
{
    Done& command = from.back();
    command.steps = std::move(left);
    if (!moved.empty()) {
        if (to.empty() || to.back().serial != command.serial) {
            std::vector<Done::Step> kept = std::move(command.steps);
            to.push_back(command);  // without its steps
            command.steps = std::move(kept);
        }
        std::vector<Done::Step>& steps = to.back().steps;
        steps.insert(first ? steps.begin() : steps.end(), std::make_move_iterator(moved.begin()),
                     std::make_move_iterator(moved.end()));
    }
    if (command.steps.empty())
        from.pop_back();
}

} // namespace commands
