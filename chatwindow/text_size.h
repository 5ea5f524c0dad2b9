#pragma once

// The steps of the chat window's text size, in percent of the design size: each about
// a tenth larger or smaller than the one before, from half to four times the design
// size, through twice the design size. A size between steps (one kept from an earlier
// run) goes to the next step up or down.
namespace TextSize {

int larger(int percent);
int smaller(int percent);
// A size kept from an earlier run, or any other number, brought within the bounds.
int bounded(int percent);
// How many steps one movement of the wheel makes: a notch of a common wheel is one;
// the small movements of a touchpad or a fine wheel add up to steps.
class WheelSteps
{
public:
    // Adds a movement (in eighths of a degree, as Qt counts) and returns the whole steps
    // it completes, up positive.
    int add(int angleDelta);

private:
    int pending_ = 0;
};

} // namespace TextSize
