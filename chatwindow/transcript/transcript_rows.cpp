#include "chatwindow/transcript/transcript_rows.h"

#include "chatwindow/transcript/link_spans.h"
#include "session/wire_codec.h"

#include <QTextOption>

#include <algorithm>
#include <vector>

namespace {

// Enough for the rows of a screen, the page at the bottom and some to scroll into.
constexpr size_t kKeptLayouts = 256;
constexpr size_t kKeptSpans = 16;

} // namespace

void TranscriptRows::setFont(const QFont& font)
{
    baseFont_ = font;
    for (int i = 0; i < 4; ++i) {
        lookFonts_[i] = font;
        lookFonts_[i].setWeight((i & 1) != 0 ? QFont::Bold : QFont::Normal);
        lookFonts_[i].setItalic((i & 2) != 0);
    }
    clear();
}

void TranscriptRows::setWidth(qreal width)
{
    if (width == width_)
        return;
    width_ = width;
    clear();
}

void TranscriptRows::clear()
{
    rows_.clear();
}

const QList<RowSpan>& TranscriptRows::spansOf(qint64 message)
{
    auto found = spans_.find(message);
    if (found == spans_.end()) {
        if (spans_.size() >= kKeptSpans)
            spans_.clear();
        found = spans_.emplace(message, rowSpans(store_.text(message))).first;
    }
    return found->second;
}

const ShownRow& TranscriptRows::row(qint64 number)
{
    std::unique_ptr<ShownRow>& slot = rows_[number];
    if (!slot) {
        slot = std::make_unique<ShownRow>();
        if (number != kHeadLine) {
            slot->message = store_.messageAtRow(number);
            const int rows = store_.rowsOf(slot->message);
            const qint64 index = number - store_.firstRowOf(slot->message);
            if (rows == 1)
                slot->span = {0, store_.text(slot->message).size(), false};
            else
                slot->span = spansOf(slot->message)[index];
            slot->lastOfMessage = index == rows - 1;
        }
        layOut(*slot);
    }
    slot->lastUse = ++uses_;
    return *slot;
}

void TranscriptRows::layOut(ShownRow& shown)
{
    QTextLayout& layout = shown.layout;
    if (shown.message == kHeadLine) {
        layout.setFont(baseFont_);
    } else {
        const QByteArrayView text = store_.text(shown.message);
        const RowSpan& span = shown.span;
        layout.setText(fromWire(text.sliced(span.start, span.end - span.start)));
        const TextLook& look = store_.look(shown.message);
        layout.setFont(lookFonts_[(look.bold ? 1 : 0) + (look.italic ? 2 : 0)]);
        // Links are underlined, in their message's colour.
        QList<QTextLayout::FormatRange> links;
        for (const LinkSpan& link : linksIn(text, span.start, span.end)) {
            QTextLayout::FormatRange range;
            range.start = int(std::max(link.start, span.start) - span.start);
            range.length = int(std::min(link.end, span.end) - span.start) - range.start;
            range.format.setFontUnderline(true);
            links.append(range);
        }
        layout.setFormats(links);
    }
    // As a rich-text view wraps: at word boundaries, or anywhere in a word that is
    // wider than the view; Windows-1252 text runs left to right.
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width_);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    shown.height = y;
}

qint64 TranscriptRows::rowOf(const TextPos& pos)
{
    if (pos.message == kHeadLine || store_.isEmpty())
        return kHeadLine;
    // A place in a message that is gone is shown where the kept ones begin.
    if (pos.message < store_.firstId())
        return store_.firstRow();
    const qint64 first = store_.firstRowOf(pos.message);
    if (store_.rowsOf(pos.message) == 1)
        return first;
    const QList<RowSpan>& spans = spansOf(pos.message);
    // The first row that has not ended before pos; a place where one row goes on in the
    // next belongs to the next.
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (pos.offset < spans[i].end || (pos.offset == spans[i].end && spans[i].lineEnd) ||
            i + 1 == spans.size())
            return first + i;
    }
    return first;
}

void TranscriptRows::forgetRemovedRows()
{
    const qint64 first = store_.firstRow();
    std::erase_if(rows_, [first](const auto& entry) {
        return entry.first != kHeadLine && entry.first < first;
    });
    std::erase_if(spans_, [this](const auto& entry) { return entry.first < store_.firstId(); });
}

void TranscriptRows::forgetUnused()
{
    if (rows_.size() <= kKeptLayouts)
        return;
    std::vector<quint64> uses;
    uses.reserve(rows_.size());
    for (const auto& entry : rows_)
        uses.push_back(entry.second->lastUse);
    const auto keepFrom = uses.end() - kKeptLayouts / 2;
    std::nth_element(uses.begin(), keepFrom, uses.end());
    const quint64 oldestKept = *keepFrom;
    std::erase_if(rows_,
                  [oldestKept](const auto& entry) { return entry.second->lastUse < oldestKept; });
}
