#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A line as Tab leaves it: its text and where the caret goes.
struct Completion
{
    QString text;
    qsizetype caret = 0;

    friend bool operator==(const Completion&, const Completion&) = default;
};

// What Tab may turn the entry box's line into: the word before the caret replaced by each
// name of the user list that it begins, without regard to case, in the list's order.
// Names may hold blanks, so the word may too: the longest run of words before the caret
// that begins a name is taken. A word at the start of the line, or after the "/" (and
// its blank) of a private message, becomes the recipient of a private message, in the
// form the command line reads back ("/ name " or "/name "). Empty when no name fits.
QList<Completion> nameCompletions(const QString& text, qsizetype caret,
                                  const QStringList& userNames);

// Tab and Shift+Tab in the entry box: the first press completes, the next ones cycle
// through the other names, as long as the line is still the one the last press left.
class NameCompleter
{
public:
    // The line the key gives, or nothing when no name fits and the key keeps its usual
    // meaning. backward is Shift+Tab.
    std::optional<Completion> complete(const QString& text, qsizetype caret,
                                       const QStringList& userNames, bool backward);

private:
    QList<Completion> offers_;
    qsizetype shown_ = -1;
};
