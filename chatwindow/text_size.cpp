#include "chatwindow/text_size.h"

#include "shell/base/chat_window_choices.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kStep = 1.1;
// A notch of a common wheel.
constexpr int kNotch = 120;

} // namespace

namespace TextSize {

int bounded(int percent)
{
    return std::clamp(percent, ChatWindowChoices::kMinTextPercent,
                      ChatWindowChoices::kMaxTextPercent);
}

int larger(int percent)
{
    // Rounding to whole percent; the step down undoes it exactly, since the error of one
    // rounding stays below half a percent after dividing by the step.
    const int next = static_cast<int>(std::lround(bounded(percent) * kStep));
    return bounded(std::max(next, bounded(percent) + 1));
}

int smaller(int percent)
{
    const int next = static_cast<int>(std::lround(bounded(percent) / kStep));
    return bounded(std::min(next, bounded(percent) - 1));
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
