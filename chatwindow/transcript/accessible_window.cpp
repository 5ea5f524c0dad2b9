#include "chatwindow/transcript/accessible_window.h"

#include "chatwindow/transcript/transcript_selection.h"

#include <algorithm>

namespace {

bool contains(const QList<qint64>& ids, qint64 message)
{
    return std::binary_search(ids.begin(), ids.end(), message);
}

// The maximal runs of indexes into ids whose messages are not in other, as [first, last].
QList<std::pair<qsizetype, qsizetype>> runsNotIn(const QList<qint64>& ids,
                                                 const QList<qint64>& other)
{
    QList<std::pair<qsizetype, qsizetype>> runs;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (contains(other, ids[i]))
            continue;
        if (!runs.isEmpty() && runs.last().second == i - 1)
            runs.last().second = i;
        else
            runs.append({i, i});
    }
    return runs;
}

} // namespace

qsizetype AccessibleWindow::indexAtOrAfter(qint64 message) const
{
    return std::lower_bound(ids.begin(), ids.end(), message) - ids.begin();
}

int AccessibleWindow::endOf(qsizetype index) const
{
    return index + 1 < starts.size() ? starts[index + 1] - 1 : int(text.size());
}

AccessibleWindow accessibleWindow(const LineStore& store, qint64 first, qint64 last)
{
    AccessibleWindow window;
    for (qint64 message = first; message <= last;
         message = message == kHeadLine ? store.firstId() : message + 1) {
        if (!window.ids.isEmpty())
            window.text += u'\n';
        window.ids.append(message);
        window.starts.append(int(window.text.size()));
        if (message != kHeadLine)
            window.text +=
                transcriptText(store, {message, 0}, {message, store.text(message).size()});
    }
    return window;
}

QList<TextEdit> editsBetween(const AccessibleWindow& from, const AccessibleWindow& to)
{
    QList<TextEdit> edits;
    // Those that left, the last first, so that the offsets of the text before them hold.
    // A run after a message takes the line feed before it; a run at the start, the one
    // after it.
    const auto left = runsNotIn(from.ids, to.ids);
    qsizetype kept = from.ids.size();
    for (const auto& [a, b] : left)
        kept -= b - a + 1;
    for (auto run = left.rbegin(); run != left.rend(); ++run) {
        const auto [a, b] = *run;
        int start = a > 0 ? from.starts[a] - 1 : 0;
        int end = from.endOf(b);
        if (a == 0 && b + 1 < from.ids.size())
            end = from.starts[b + 1];
        edits.append({start, from.text.sliced(start, end - start), QString()});
    }
    // Those that came, in order: the text before each is then what the new window has.
    // A run after a message comes with a line feed before it; a run at the start, with
    // one after it where kept messages follow.
    const auto came = runsNotIn(to.ids, from.ids);
    for (const auto& [a, b] : came) {
        const int end = to.endOf(b);
        if (a > 0) {
            const int start = to.starts[a] - 1;
            edits.append({start, QString(), to.text.sliced(start, end - start)});
        } else {
            const bool followed = kept > 0;
            const int length = followed ? to.starts[b + 1] : end;
            edits.append({0, QString(), to.text.first(length)});
        }
    }
    return edits;
}

int shownOffset(QByteArrayView message, qsizetype byteOffset)
{
    const qsizetype end = std::clamp<qsizetype>(byteOffset, 0, message.size());
    int shown = 0;
    for (qsizetype i = 0; i < end; ++i) {
        if (!(message[i] == '\n' && i > 0 && message[i - 1] == '\r'))
            ++shown;
    }
    return shown;
}

qsizetype byteOffset(QByteArrayView message, int shownOffset)
{
    qsizetype i = 0;
    for (int shown = 0; shown < shownOffset && i < message.size(); ++shown) {
        i += message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n' ? 2 : 1;
    }
    return i;
}
