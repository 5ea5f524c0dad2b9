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
    edits_.clear();
}

void LineHistory::keep(const QString& shown)
{
    if (position_ == lines_.size())
        draft_ = shown;
    else if (shown != lines_.at(position_))
        edits_.insert(position_, shown);
    else
        edits_.remove(position_);
}

QString LineHistory::lineAt(qsizetype position) const
{
    if (position == lines_.size())
        return draft_;
    return edits_.value(position, lines_.at(position));
}

std::optional<QString> LineHistory::older(const QString& shown)
{
    if (position_ == 0)
        return std::nullopt;
    keep(shown);
    return lineAt(--position_);
}

std::optional<QString> LineHistory::newer(const QString& shown)
{
    if (position_ >= lines_.size())
        return std::nullopt;
    keep(shown);
    return lineAt(++position_);
}
