#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// When each message arrived, for the reader who asks when a line was said. The time is
// read from the wall clock as the message is stored and never leaves the program.

// Seconds since the epoch, now; tests put a clock of their own in its place.
using ArrivalClock = std::function<qint64()>;
ArrivalClock systemClock();

// A message's arrival as the reader sees it: the local time "hh:mm:ss", preceded by the
// date when the message did not arrive today.
QString arrivalTimeText(qint64 arrival, qint64 now);
