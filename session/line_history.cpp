#include "session/line_history.h"

void LineHistory::add(const QString& line)
{
    if (!line.isEmpty() && (lines_.isEmpty() || lines_.back() != line)) {
        lines_.append(line);
        if (lines_.size() > kMaxLines)
            lines_.removeFirst();
    }
    position_ = lines_.size();
    draft_.clear();
}

std::optional<QString> LineHistory::older(const QString& shown)
{
    if (position_ == 0)
        return std::nullopt;
    if (position_ == lines_.size())
        draft_ = shown;
    return lines_.at(--position_);
}

std::optional<QString> LineHistory::newer()
{
    if (position_ >= lines_.size())
        return std::nullopt;
    ++position_;
    return position_ == lines_.size() ? draft_ : lines_.at(position_);
}
