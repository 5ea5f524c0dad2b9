#include "session/name_completion.h"

#include <algorithm>

namespace {

// Where the recipient of a private message starts, after "/" or "/ ", or -1 for a line
// that is no private message ("//" talks to the team).
qsizetype privateRecipientStart(QStringView text)
{
    if (!text.startsWith(u'/') || text.startsWith(u"//"))
        return -1;
    return text.startsWith(u"/ ") ? 2 : 1;
}

// Can a word start at position start of text? At the start of a line that is no
// private message, where a private message's recipient starts, after the "//" of a
// team message, and after a blank.
bool isWordStart(QStringView text, qsizetype start)
{
    if (start == 0)
        return !text.startsWith(u'/');
    return text.at(start - 1) == u' ' || start == privateRecipientStart(text) ||
           (start == 2 && text.startsWith(u"//"));
}

QStringList namesBeginningWith(QStringView word, const QStringList& userNames)
{
    QStringList names;
    for (const QString& name : userNames) {
        if (name.startsWith(word, Qt::CaseInsensitive))
            names.append(name);
    }
    names.removeDuplicates();
    return names;
}

} // namespace

QList<Completion> nameCompletions(const QString& text, qsizetype caret,
                                  const QStringList& userNames)
{
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    // A blank before the caret ends the word: Tab after it completes nothing.
    if (caret == 0 || text.at(caret - 1) == u' ')
        return {};
    const QStringView line(text);
    for (qsizetype start = 0; start < caret; ++start) {
        if (!isWordStart(line, start))
            continue;
        const QStringList names = namesBeginningWith(line.mid(start, caret - start), userNames);
        if (names.isEmpty())
            continue;

        const bool recipient = start == 0 || start == privateRecipientStart(line);
        const QString head = start == 0 ? QStringLiteral("/ ") : text.left(start);
        const QString tail = text.mid(caret);
        // A recipient is followed by the blank that ends the name for the command line.
        const QString after = recipient && !tail.startsWith(u' ') ? QStringLiteral(" ") : QString();
        const qsizetype skip = recipient && tail.startsWith(u' ') ? 1 : 0;
        QList<Completion> offers;
        for (const QString& name : names) {
            offers.append(
                {head + name + after + tail, head.size() + name.size() + after.size() + skip});
        }
        return offers;
    }
    return {};
}

std::optional<Completion> NameCompleter::complete(const QString& text, qsizetype caret,
                                                  const QStringList& userNames, bool backward)
{
    const bool cycling =
        shown_ >= 0 && shown_ < offers_.size() && offers_.at(shown_) == Completion{text, caret};
    if (cycling) {
        const qsizetype count = offers_.size();
        shown_ = (shown_ + (backward ? count - 1 : 1)) % count;
        return offers_.at(shown_);
    }
    offers_ = nameCompletions(text, caret, userNames);
    if (offers_.isEmpty()) {
        shown_ = -1;
        return std::nullopt;
    }
    shown_ = backward ? offers_.size() - 1 : 0;
    return offers_.at(shown_);
}
