#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <vector>

// Finds the user list's entries by name without walking the list: for each name, its
// entries in list order, and for each entry its row, both in logarithmic time. It
// mirrors a list that grows at its end and loses entries anywhere, so that a departure
// costs the same against ten players or ten thousand.
class UserIndex
{
public:
    int count() const { return listed_; }
    void clear();
    // A new entry after the last one.
    void append(const QString& name);
    // The entry at row, whose text is name, has left the list.
    void remove(int row, const QString& name);
    // The row of the first entry whose text is exactly name, or -1 where none is.
    int firstRow(const QString& name) const;

private:
    // Entries are numbered in the order they were appended, which is list order; a
    // Fenwick tree over the numbers holds 1 for a listed entry and 0 for a removed one,
    // so that the listed entries before a number give its row.
    int listedUpTo(int slot) const;
    int slotOfRow(int row) const;
    void addAt(int slot, int delta);
    // Renumbers the listed entries 0, 1, 2, ... once removed ones outnumber them, so
    // that arrivals and departures without end cannot grow the index.
    void renumber();

    std::vector<int> tree_{0}; // 1-based: tree_[0] is unused
    QHash<QString, QList<int>> slotsByName_;
    int listed_ = 0;
};
