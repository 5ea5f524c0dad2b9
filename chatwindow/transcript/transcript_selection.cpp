#include "chatwindow/transcript/transcript_selection.h"

#include "session/wire_codec.h"

#include <algorithm>

namespace {

// The characters that a rich-text view treats as words of their own when it selects.
bool isWordSeparator(QChar c)
{
    static constexpr char16_t kSeparators[] = u".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\";
    return std::find(std::begin(kSeparators), std::end(kSeparators) - 1, c.unicode()) !=
           std::end(kSeparators) - 1;
}

void appendShown(QString& out, QByteArrayView bytes)
{
    QString piece = fromWire(bytes);
    piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    piece.replace(u'\r', u'\n');
    piece.replace(QChar(QChar::Nbsp), u' ');
    out += piece;
}

TextPos clampedTo(const LineStore& store, const TextPos& pos)
{
    if (pos.message != kHeadLine && pos.message < store.firstId())
        return {store.firstId(), 0};
    return pos;
}

} // namespace

bool TranscriptSelection::keepWithin(const LineStore& store)
{
    const TextPos newAnchor = clampedTo(store, anchor);
    const TextPos newCursor = clampedTo(store, cursor);
    if (newAnchor == anchor && newCursor == cursor)
        return false;
    anchor = newAnchor;
    cursor = newCursor;
    return true;
}

QString transcriptText(const LineStore& store, TextPos from, TextPos to)
{
    QString out;
    if (!(from < to))
        return out;
    if (from.message == kHeadLine) {
        if (to.message == kHeadLine || store.isEmpty())
            return out;
        out += u'\n';
        from = {store.firstId(), 0};
    }
    for (qint64 message = from.message; message <= to.message; ++message) {
        const QByteArrayView text = store.text(message);
        const qsizetype start = message == from.message ? std::min(from.offset, text.size()) : 0;
        const qsizetype end =
            message == to.message ? std::clamp(to.offset, start, text.size()) : text.size();
        appendShown(out, text.sliced(start, end - start));
        if (message != to.message)
            out += u'\n';
    }
    return out;
}

std::pair<TextPos, TextPos> wordAt(TranscriptRows& rows, const TextPos& pos)
{
    const ShownRow& row = rows.row(rows.rowOf(pos));
    if (row.message == kHeadLine)
        return {pos, pos};
    const QString text = row.layout.text();
    const int length = static_cast<int>(text.size());
    const int at = static_cast<int>(std::clamp<qsizetype>(pos.offset - row.span.start, 0, length));

    // The start of the word: stays at the row's start, and after blanks or punctuation
    // at the row's end; otherwise the start of the word under or before the place.
    int start = at;
    if (at > 0 && !(at == length && (text[at - 1].isSpace() || isWordSeparator(text[at - 1]))))
        start =
            row.layout.previousCursorPosition(at < length ? at + 1 : at, QTextLayout::SkipWords);
    // Its end: a run of punctuation, or characters up to a blank or punctuation.
    int end = start;
    if (end < length && isWordSeparator(text[end])) {
        while (end < length && isWordSeparator(text[end]))
            ++end;
    } else {
        while (end < length && !text[end].isSpace() && !isWordSeparator(text[end]))
            ++end;
    }
    return {{row.message, row.span.start + start}, {row.message, row.span.start + end}};
}

std::pair<TextPos, TextPos> lineAt(TranscriptRows& rows, const LineStore& store, const TextPos& pos)
{
    const auto afterLine = [&store](qint64 message, qsizetype end) {
        return message + 1 < store.endId() ? TextPos{message + 1, 0} : TextPos{message, end};
    };
    if (pos.message == kHeadLine)
        return {TextPos{}, afterLine(kHeadLine, 0)};
    const qsizetype size = store.text(pos.message).size();
    if (store.rowsOf(pos.message) == 1)
        return {{pos.message, 0}, afterLine(pos.message, size)};

    // Rows that one long line was broken into count as one line.
    const QList<RowSpan>& spans = rows.spansOf(pos.message);
    qsizetype first = rows.rowOf(pos) - store.firstRowOf(pos.message);
    qsizetype last = first;
    while (first > 0 && !spans[first - 1].lineEnd)
        --first;
    while (last + 1 < spans.size() && !spans[last].lineEnd)
        ++last;
    const TextPos end = spans[last].lineEnd ? TextPos{pos.message, spans[last + 1].start}
                                            : afterLine(pos.message, spans[last].end);
    return {{pos.message, spans[first].start}, end};
}
