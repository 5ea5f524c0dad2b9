#include "chatwindow/user_index.h"

#include <algorithm>
#include <bit>

namespace {

// Removed entries may outnumber the listed ones by this much before the index renumbers.
constexpr int kRemovedSlack = 1024;

int lowestBit(int position)
{
    return position & -position;
}

} // namespace

void UserIndex::clear()
{
    tree_.assign(1, 0);
    slotsByName_.clear();
    listed_ = 0;
}

void UserIndex::append(const QString& name)
{
    const int slot = int(tree_.size()) - 1;
    const int position = slot + 1;
    // The new node covers itself and the nodes just below it that it spans.
    tree_.push_back(1 + listedUpTo(slot - 1) - listedUpTo(position - lowestBit(position) - 1));
    slotsByName_[name].append(slot);
    ++listed_;
}

void UserIndex::remove(int row, const QString& name)
{
    if (row < 0 || row >= listed_)
        return;
    const int slot = slotOfRow(row);
    addAt(slot, -1);
    --listed_;
    const auto named = slotsByName_.find(name);
    if (named != slotsByName_.end()) {
        QList<int>& numbers = *named;
        const auto at = std::lower_bound(numbers.begin(), numbers.end(), slot);
        if (at != numbers.end() && *at == slot)
            numbers.erase(at);
        if (numbers.isEmpty())
            slotsByName_.erase(named);
    }
    if (int(tree_.size()) - 1 > 2 * listed_ + kRemovedSlack)
        renumber();
}

int UserIndex::firstRow(const QString& name) const
{
    const auto named = slotsByName_.constFind(name);
    if (named == slotsByName_.constEnd() || named->isEmpty())
        return -1;
    return listedUpTo(named->first()) - 1;
}

int UserIndex::listedUpTo(int slot) const
{
    int listed = 0;
    for (int position = slot + 1; position > 0; position -= lowestBit(position))
        listed += tree_[position];
    return listed;
}

int UserIndex::slotOfRow(int row) const
{
    const int size = int(tree_.size()) - 1;
    int position = 0;
    int wanted = row + 1;
    for (int step = int(std::bit_floor(unsigned(size))); step > 0; step /= 2) {
        if (position + step <= size && tree_[position + step] < wanted) {
            position += step;
            wanted -= tree_[position];
        }
    }
    return position; // the slot of 1-based position + 1
}

void UserIndex::addAt(int slot, int delta)
{
    for (int position = slot + 1; position < int(tree_.size()); position += lowestBit(position))
        tree_[position] += delta;
}

void UserIndex::renumber()
{
    for (QList<int>& numbers : slotsByName_) {
        for (int& slot : numbers)
            slot = listedUpTo(slot) - 1;
    }
    // Over a run of listed entries only, each node holds the width it spans.
    tree_.assign(listed_ + 1, 0);
    for (int position = 1; position <= listed_; ++position)
        tree_[position] = lowestBit(position);
}
