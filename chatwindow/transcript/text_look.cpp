#include "chatwindow/transcript/text_look.h"

quint32 LookTable::key(const TextLook& look)
{
    return (look.colour & 0xFFFFFFu) | (look.bold ? 1u << 24 : 0u) | (look.italic ? 1u << 25 : 0u);
}

LookTable::Id LookTable::intern(const TextLook& given)
{
    const TextLook look{qRgb(qRed(given.colour), qGreen(given.colour), qBlue(given.colour)),
                        given.bold, given.italic};
    // Runs of messages of one kind are common: the last look is tried first.
    if (!looks_.isEmpty() && looks_[last_] == look)
        return last_;
    const quint32 k = key(look);
    if (const auto found = ids_.constFind(k); found != ids_.cend()) {
        last_ = *found;
        return last_;
    }
    if (looks_.size() >= kMaxLooks)
        return static_cast<Id>(kMaxLooks - 1);
    last_ = static_cast<Id>(looks_.size());
    looks_.append(look);
    ids_.insert(k, last_);
    return last_;
}
