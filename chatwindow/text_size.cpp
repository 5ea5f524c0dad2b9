#include "chatwindow/text_size.h"

#include "shell/base/chat_window_choices.h"

#include <algorithm>
#include <cmath>

namespace {

// Seven steps double the size: each is about a tenth, and the ladder passes through
// half, the design, twice and four times the design size exactly.
constexpr int kStepsPerDoubling = 7;
// A notch of a common wheel.
constexpr int kNotch = 120;

// The size on the ladder a number of steps from the design size.
int rung(int steps)
{
    return static_cast<int>(std::lround(ChatWindowChoices::kDesignTextPercent *
                                        std::exp2(double(steps) / kStepsPerDoubling)));
}

// The steps of the rung at or just below a size.
int stepsBelow(int percent)
{
    int steps = static_cast<int>(std::floor(
        kStepsPerDoubling * std::log2(double(percent) / ChatWindowChoices::kDesignTextPercent)));
    while (rung(steps + 1) <= percent)
        ++steps;
    while (rung(steps) > percent)
        --steps;
    return steps;
}

} // namespace

namespace TextSize {

int bounded(int percent)
{
    return std::clamp(percent, ChatWindowChoices::kMinTextPercent,
                      ChatWindowChoices::kMaxTextPercent);
}

int larger(int percent)
{
    return bounded(rung(stepsBelow(bounded(percent)) + 1));
}

int smaller(int percent)
{
    const int from = bounded(percent);
    const int below = stepsBelow(from);
    return bounded(rung(rung(below) < from ? below : below - 1));
}

int WheelSteps::add(int angleDelta)
{
    // A turn the other way starts afresh: what was gathered belonged to the other way.
    if ((angleDelta > 0 && pending_ < 0) || (angleDelta < 0 && pending_ > 0))
        pending_ = 0;
    pending_ += angleDelta;
    const int steps = pending_ / kNotch;
    pending_ -= steps * kNotch;
    return steps;
}

} // namespace TextSize
