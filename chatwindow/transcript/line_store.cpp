#include "chatwindow/transcript/line_store.h"

#include "chatwindow/transcript/row_breaks.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr qsizetype kChunkMessages = 1024;
// A message's arrival is kept as seconds after its chunk's first, in two bytes that
// would otherwise be padding; a chunk that would span more than this ends early.
constexpr qint64 kMaxArrivalDelta = 0xFFFF;

// Cuts a message that is longer than one message may be, and says so at its end.
QByteArray cutToFit(QByteArrayView text)
{
    qsizetype keep = std::min(text.size(), LineStore::kMaxMessageBytes);
    RowWalker walker(text.first(keep));
    RowSpan row;
    int rows = 0;
    while (rows < LineStore::kMaxMessageRows && walker.next(row))
        ++rows;
    if (rows == LineStore::kMaxMessageRows && walker.next(row))
        keep = row.start;
    if (keep == text.size())
        return QByteArray();
    QByteArray cut = text.first(keep).toByteArray();
    // The line end before the first row left out goes with it.
    if (cut.endsWith("\r\n"))
        cut.chop(2);
    else if (cut.endsWith('\r') || cut.endsWith('\n'))
        cut.chop(1);
    cut += QByteArray(" [cut: ") + QByteArray::number(text.size() - keep) +
           " more characters of this line are not shown]";
    return cut;
}

} // namespace

struct LineStore::Entry
{
    quint32 offset;     // of the text in the chunk
    quint32 rowsBefore; // rows of the chunk's messages before this one
    LookTable::Id look;
    quint16 arrivalDelta; // seconds after the chunk's arrivalBase

    // A kept message costs its entry and its text: the arrival adds nothing.
    static void checkSize() { static_assert(sizeof(Entry) == 12); }
};

struct LineStore::Chunk
{
    explicit Chunk(qsizetype capacity, qint64 firstId, qint64 firstRow, qint64 arrivalBase)
        : text(new char[capacity]), capacity(capacity), firstId(firstId), firstRow(firstRow),
          arrivalBase(arrivalBase)
    {
        entries.reserve(kChunkMessages);
    }

    qsizetype size(qsizetype index) const
    {
        const quint32 end =
            index + 1 < qsizetype(entries.size()) ? entries[index + 1].offset : used;
        return end - entries[index].offset;
    }
    int rows(qsizetype index) const
    {
        const quint32 end =
            index + 1 < qsizetype(entries.size()) ? entries[index + 1].rowsBefore : rowsUsed;
        return static_cast<int>(end - entries[index].rowsBefore);
    }
    qint64 endId() const { return firstId + qint64(entries.size()); }

    std::unique_ptr<char[]> text;
    qsizetype capacity;
    quint32 used = 0;
    quint32 rowsUsed = 0;
    std::vector<Entry> entries;
    qint64 firstId;
    qint64 firstRow;
    qint64 arrivalBase;
};

LineStore::LineStore() = default;
LineStore::~LineStore() = default;

void LineStore::setLimitsForTests(const Limits& limits)
{
    limits_ = limits;
}

qint64 LineStore::firstRow() const
{
    if (chunks_.empty())
        return endRow_;
    const Chunk& first = *chunks_.front();
    return first.firstRow + first.entries[firstId_ - first.firstId].rowsBefore;
}

LineStore::Chunk& LineStore::chunkFor(qsizetype bytes, qint64 arrival)
{
    if (!chunks_.empty()) {
        Chunk& last = *chunks_.back();
        if (last.used + bytes <= last.capacity && last.entries.size() < size_t(kChunkMessages) &&
            arrival - last.arrivalBase <= kMaxArrivalDelta)
            return last;
    }
    chunks_.push_back(
        std::make_unique<Chunk>(std::max(bytes, kChunkBytes), endId_, endRow_, arrival));
    return *chunks_.back();
}

qint64 LineStore::append(QByteArrayView given, const TextLook& look, qint64 arrival)
{
    const QByteArray cut = cutToFit(given);
    const QByteArrayView text = cut.isNull() ? given : QByteArrayView(cut);
    const int rows = countRows(text);

    Chunk& chunk = chunkFor(text.size(), arrival);
    if (!text.isEmpty())
        std::memcpy(chunk.text.get() + chunk.used, text.data(), text.size());
    // A clock set back reads as the chunk's first arrival rather than start a chunk per
    // message.
    const auto delta =
        quint16(std::clamp<qint64>(arrival - chunk.arrivalBase, 0, kMaxArrivalDelta));
    chunk.entries.push_back({chunk.used, chunk.rowsUsed, looks_.intern(look), delta});
    chunk.used += quint32(text.size());
    chunk.rowsUsed += quint32(rows);
    textBytes_ += text.size();
    endRow_ += rows;
    const qint64 id = endId_++;

    while (count() > 1 && (count() > limits_.messages || textBytes_ > limits_.textBytes ||
                           rowCount() > limits_.rows))
        removeOldest();
    return id;
}

void LineStore::removeOldest()
{
    const Chunk& first = *chunks_.front();
    textBytes_ -= first.size(firstId_ - first.firstId);
    ++firstId_;
    if (firstId_ == first.endId())
        chunks_.pop_front();
}

const LineStore::Chunk& LineStore::chunkOf(qint64 id) const
{
    Q_ASSERT(id >= firstId_ && id < endId_);
    const auto after = std::upper_bound(
        chunks_.begin(), chunks_.end(), id,
        [](qint64 value, const std::unique_ptr<Chunk>& chunk) { return value < chunk->firstId; });
    return **(after - 1);
}

const LineStore::Entry& LineStore::entryOf(qint64 id) const
{
    const Chunk& chunk = chunkOf(id);
    return chunk.entries[id - chunk.firstId];
}

QByteArrayView LineStore::text(qint64 id) const
{
    const Chunk& chunk = chunkOf(id);
    const qsizetype index = id - chunk.firstId;
    return QByteArrayView(chunk.text.get() + chunk.entries[index].offset, chunk.size(index));
}

const TextLook& LineStore::look(qint64 id) const
{
    return looks_.look(entryOf(id).look);
}

qint64 LineStore::arrival(qint64 id) const
{
    const Chunk& chunk = chunkOf(id);
    return chunk.arrivalBase + chunk.entries[id - chunk.firstId].arrivalDelta;
}

qint64 LineStore::firstRowOf(qint64 id) const
{
    const Chunk& chunk = chunkOf(id);
    return chunk.firstRow + chunk.entries[id - chunk.firstId].rowsBefore;
}

int LineStore::rowsOf(qint64 id) const
{
    const Chunk& chunk = chunkOf(id);
    return chunk.rows(id - chunk.firstId);
}

qint64 LineStore::messageAtRow(qint64 row) const
{
    Q_ASSERT(row >= firstRow() && row < endRow_);
    const auto after = std::upper_bound(
        chunks_.begin(), chunks_.end(), row,
        [](qint64 value, const std::unique_ptr<Chunk>& chunk) { return value < chunk->firstRow; });
    const Chunk& chunk = **(after - 1);
    const quint32 inChunk = quint32(row - chunk.firstRow);
    const auto entry =
        std::upper_bound(chunk.entries.begin(), chunk.entries.end(), inChunk,
                         [](quint32 value, const Entry& e) { return value < e.rowsBefore; });
    return chunk.firstId + (entry - chunk.entries.begin()) - 1;
}

LineStore::Run LineStore::run(qint64 id, qint64 end) const
{
    Run run;
    run.chunk_ = &chunkOf(id);
    run.firstId_ = id;
    run.endId_ = std::min(end, run.chunk_->endId());
    const quint32 from = run.chunk_->entries[id - run.chunk_->firstId].offset;
    const qsizetype last = run.endId_ - 1 - run.chunk_->firstId;
    const quint32 to = run.chunk_->entries[last].offset + quint32(run.chunk_->size(last));
    run.text_ = QByteArrayView(run.chunk_->text.get() + from, to - from);
    return run;
}

qsizetype LineStore::Run::startOf(qint64 id) const
{
    const qsizetype base = chunk_->entries[firstId_ - chunk_->firstId].offset;
    if (id == endId_)
        return text_.size();
    return chunk_->entries[id - chunk_->firstId].offset - base;
}

qint64 LineStore::heldBytes() const
{
    qint64 held = 0;
    for (const auto& chunk : chunks_)
        held += chunk->used;
    return held;
}
