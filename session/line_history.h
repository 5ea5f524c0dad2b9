#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The lines entered in the entry box during this run, for recalling them with Up and
// Down. Every entered line is kept, whether it went out or not, so that a line too long
// to send can be fetched back and shortened. Kept in memory only.
//
// A recalled line that the user edits keeps its edits while they move Up and Down, as
// the draft being typed does, until the next Enter: the lines kept stay as they were
// entered, and the edits are then forgotten.
class LineHistory
{
public:
    // The newest lines kept; older ones are forgotten.
    static constexpr qsizetype kMaxLines = 100;

    // A line entered with Enter. An empty line, or the same line as the newest one, adds
    // nothing. Recalling starts again from the newest line.
    void add(const QString& line);

    // The line before the one shown, or nothing when the oldest is shown. shown is what
    // the box holds now, kept for when the user comes back to this line (past the newest
    // it is the draft being typed).
    std::optional<QString> older(const QString& shown);
    // The line after the one shown, the draft past the newest, or nothing when the draft
    // is shown already.
    std::optional<QString> newer(const QString& shown);

    const QStringList& lines() const { return lines_; }

private:
    void keep(const QString& shown);
    QString lineAt(qsizetype position) const;

    QStringList lines_;
    // The line shown: an index into lines_, or lines_.size() for the draft.
    qsizetype position_ = 0;
    QString draft_;
    // The edited text of recalled lines, by their index, until the next Enter.
    QHash<qsizetype, QString> edits_;
};
