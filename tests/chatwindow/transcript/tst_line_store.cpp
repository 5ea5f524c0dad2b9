// The transcript's line store: what a message becomes, the looks kept once, the bounds
// that keep the newest messages, a selection across the messages that go, and the text
// a screen reader is told of.
#include "chatwindow/transcript/accessible_window.h"
#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/row_breaks.h"
#include "chatwindow/transcript/transcript_selection.h"
#include "text_pos_string.h"

#include <QtTest>

namespace {

constexpr TextLook kLilac{qRgb(181, 181, 255), false, false};
constexpr TextLook kAmber{qRgb(255, 189, 41), true, false};
constexpr TextLook kGreen{qRgb(107, 222, 90), false, true};

QString copied(const LineStore& store, qint64 id)
{
    return transcriptText(store, {id, 0}, {id, store.text(id).size()});
}

QByteArray words(qsizetype size)
{
    QByteArray text;
    while (text.size() < size)
        text += "word ";
    return text.left(size);
}

} // namespace

class LineStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void messageBecomesRows_data();
    void messageBecomesRows();
    void looksAreKeptOnce();
    void boundsKeepTheNewest_data();
    void boundsKeepTheNewest();
    void oldestGoWithoutDisturbingTheRest();
    void overlongMessageIsCutVisibly();
    void selectionAcrossRemovedMessages_data();
    void selectionAcrossRemovedMessages();
    void screenReaderEditsGiveTheNewText_data();
    void screenReaderEditsGiveTheNewText();
    void screenReaderOffsetsInsideLineEnds();
};

// Each message is its own line; a line end inside it starts another row, and a row too
// long to lay out at once goes on in the next, after a blank where there is one.
void LineStoreTest::messageBecomesRows_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<qsizetype>>("rowEnds");
    QTest::addColumn<QString>("copy");

    QTest::newRow("plain") << QByteArray("ann> hi") << QList<qsizetype>{7} << "ann> hi";
    QTest::newRow("empty") << QByteArray() << QList<qsizetype>{0} << "";
    QTest::newRow("CR inside") << QByteArray("a\rb") << QList<qsizetype>{1, 3} << "a\nb";
    QTest::newRow("trailing CR") << QByteArray("a\r") << QList<qsizetype>{1, 2} << "a\n";
    QTest::newRow("two CRs") << QByteArray("a\r\rb") << QList<qsizetype>{1, 2, 4} << "a\n\nb";
    QTest::newRow("CR LF is one line end")
        << QByteArray("a\r\nb") << QList<qsizetype>{1, 4} << "a\nb";
    QTest::newRow("Windows-1252 and a non-breaking space")
        << QByteArray("\x80 caf\xE9\xA0x") << QList<qsizetype>{8} << QStringLiteral("€ café x");
    QTest::newRow("long, no blanks")
        << QByteArray(5000, 'x') << QList<qsizetype>{kMaxRowChars, 5000} << QString(5000, u'x');
    QTest::newRow("long, with blanks")
        << words(5000) << QList<qsizetype>{4095, 5000} << QString::fromLatin1(words(5000));
    QTest::newRow("just short enough")
        << QByteArray(kMaxRowChars, 'x') << QList<qsizetype>{kMaxRowChars}
        << QString(kMaxRowChars, u'x');
}

void LineStoreTest::messageBecomesRows()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<qsizetype>, rowEnds);
    QFETCH(QString, copy);

    LineStore store;
    store.append("before", kLilac);
    const qint64 id = store.append(text, kAmber);
    QCOMPARE(store.text(id), QByteArrayView(text));
    QCOMPARE(copied(store, id), copy);
    QCOMPARE(store.rowsOf(id), int(rowEnds.size()));
    QCOMPARE(store.firstRowOf(id), qint64(1));
    QCOMPARE(store.endRow(), qint64(1 + rowEnds.size()));
    QList<qsizetype> ends;
    for (const RowSpan& row : rowSpans(text))
        ends.append(row.end);
    QCOMPARE(ends, rowEnds);
    for (qint64 row = 1; row < store.endRow(); ++row)
        QCOMPARE(store.messageAtRow(row), id);
    QCOMPARE(store.messageAtRow(0), id - 1);
}

void LineStoreTest::looksAreKeptOnce()
{
    LookTable table;
    const LookTable::Id lilac = table.intern(kLilac);
    QCOMPARE(table.intern(kAmber), LookTable::Id(1));
    QCOMPARE(table.intern(kLilac), lilac);
    // The colour's alpha is no part of a look.
    QCOMPARE(table.intern({kLilac.colour & 0x00FFFFFFu, false, false}), lilac);
    QCOMPARE(table.intern({kLilac.colour, true, false}), LookTable::Id(2));
    QCOMPARE(table.size(), 3);

    LineStore store;
    for (int i = 0; i < 3000; ++i)
        store.append("x", i % 3 == 0 ? kLilac : i % 3 == 1 ? kAmber : kGreen);
    QCOMPARE(store.look(0), kLilac);
    QCOMPARE(store.look(2998), kAmber);
    QCOMPARE(store.look(2999), kGreen);
}

// Lowered limits; each row appends `count` messages of `text`.
void LineStoreTest::boundsKeepTheNewest_data()
{
    QTest::addColumn<int>("messages");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("rows");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("keptFrom");

    QTest::newRow("messages") << 10 << qint64(1000) << qint64(1000) << QByteArray("0123456789")
                              << 25 << qint64(15);
    QTest::newRow("bytes") << 100 << qint64(95) << qint64(1000) << QByteArray("0123456789") << 25
                           << qint64(16);
    QTest::newRow("rows of CRs") << 100 << qint64(1000) << qint64(30) << QByteArray("a\rb\rc\r")
                                 << 25 << qint64(18);
    QTest::newRow("one message beyond the bytes stays alone")
        << 100 << qint64(95) << qint64(1000) << QByteArray(500, 'x') << 3 << qint64(2);
}

void LineStoreTest::boundsKeepTheNewest()
{
    QFETCH(int, messages);
    QFETCH(qint64, bytes);
    QFETCH(qint64, rows);
    QFETCH(QByteArray, text);
    QFETCH(int, count);
    QFETCH(qint64, keptFrom);

    LineStore store;
    store.setLimitsForTests({messages, bytes, rows});
    for (int i = 0; i < count; ++i) {
        store.append(text, kLilac);
        QVERIFY(store.count() == 1 || (store.count() <= messages && store.textBytes() <= bytes &&
                                       store.rowCount() <= rows));
    }
    QCOMPARE(store.firstId(), keptFrom);
    QCOMPARE(store.endId(), qint64(count));
    QCOMPARE(store.textBytes(), qint64(text.size()) * (count - keptFrom));
    QCOMPARE(store.rowCount(), countRows(text) * (count - keptFrom));
    QCOMPARE(store.firstRow(), countRows(text) * keptFrom);
}

// Through a million messages, what stays is found by id and by row as it was, and
// memory is that of what stays: the chunks of removed messages are freed.
void LineStoreTest::oldestGoWithoutDisturbingTheRest()
{
    LineStore store;
    store.setLimitsForTests({5000, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    qsizetype heldMost = 0;
    for (int i = 0; i < 1000000; ++i) {
        store.append(QByteArray::number(i) + (i % 10 == 0 ? "\rmore" : ""), kLilac);
        heldMost = std::max<qsizetype>(heldMost, store.heldBytes());
    }
    QCOMPARE(store.count(), qsizetype(5000));
    QVERIFY2(heldMost < store.textBytes() + 2 * 64 * 1024, qPrintable(QString::number(heldMost)));
    for (qint64 id = store.firstId(); id < store.endId(); id += 7) {
        QCOMPARE(store.text(id).toByteArray().split('\r').first(), QByteArray::number(id));
        QCOMPARE(store.rowsOf(id), id % 10 == 0 ? 2 : 1);
        QCOMPARE(store.messageAtRow(store.firstRowOf(id) + store.rowsOf(id) - 1), id);
    }
}

// A line may hold a MiB: one too long, or of too many rows, is kept up to the limit and
// says where it was cut.
void LineStoreTest::overlongMessageIsCutVisibly()
{
    LineStore store;
    const qint64 longOne = store.append(QByteArray(LineStore::kMaxMessageBytes + 10, 'x'), kLilac);
    QVERIFY(copied(store, longOne).startsWith(QString(LineStore::kMaxMessageBytes, u'x') + u' '));
    QVERIFY(copied(store, longOne)
                .endsWith(QStringLiteral("[cut: 10 more characters of this line are not shown]")));

    const qint64 manyRows = store.append(QByteArray(20000, '\r'), kLilac);
    QCOMPARE(store.rowsOf(manyRows), LineStore::kMaxMessageRows);
    QVERIFY(copied(store, manyRows)
                .endsWith(
                    QStringLiteral("\n [cut: 10000 more characters of this line are not shown]")));
    QCOMPARE(store.text(store.append("next", kLilac)), "next");
}

// Messages 0-9 are kept, then 0-4 go.
void LineStoreTest::selectionAcrossRemovedMessages_data()
{
    QTest::addColumn<TextPos>("anchor");
    QTest::addColumn<TextPos>("cursor");
    QTest::addColumn<TextPos>("anchorAfter");
    QTest::addColumn<TextPos>("cursorAfter");

    QTest::newRow("outside") << TextPos{6, 1} << TextPos{8, 2} << TextPos{6, 1} << TextPos{8, 2};
    QTest::newRow("across") << TextPos{3, 1} << TextPos{7, 2} << TextPos{5, 0} << TextPos{7, 2};
    QTest::newRow("across, made upwards")
        << TextPos{7, 2} << TextPos{2, 0} << TextPos{7, 2} << TextPos{5, 0};
    QTest::newRow("inside") << TextPos{1, 0} << TextPos{4, 3} << TextPos{5, 0} << TextPos{5, 0};
    QTest::newRow("from the empty first line")
        << TextPos{} << TextPos{6, 1} << TextPos{} << TextPos{6, 1};
}

void LineStoreTest::selectionAcrossRemovedMessages()
{
    QFETCH(TextPos, anchor);
    QFETCH(TextPos, cursor);
    QFETCH(TextPos, anchorAfter);
    QFETCH(TextPos, cursorAfter);

    LineStore store;
    store.setLimitsForTests({10, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    for (int i = 0; i < 10; ++i)
        store.append("msg" + QByteArray::number(i), kLilac);
    TranscriptSelection selection{anchor, cursor};
    const QString before = transcriptText(store, selection.start(), selection.end());
    for (int i = 10; i < 15; ++i)
        store.append("msg" + QByteArray::number(i), kLilac);
    QCOMPARE(selection.keepWithin(store), anchorAfter != anchor || cursorAfter != cursor);
    QCOMPARE(selection.anchor, anchorAfter);
    QCOMPARE(selection.cursor, cursorAfter);
    // What is still selected is the end of what was, less the lines that went.
    const QString after = transcriptText(store, selection.start(), selection.end());
    QVERIFY2(before.endsWith(after), qPrintable(before + u'|' + after));
}

// The edits told between two windows of messages, applied to the old text as a screen
// reader applies them, give the new text, whichever way the window moved.
void LineStoreTest::screenReaderEditsGiveTheNewText_data()
{
    QTest::addColumn<QList<qint64>>("from"); // first, last, store's first id
    QTest::addColumn<QList<qint64>>("to");
    QTest::addColumn<int>("edits");

    QTest::newRow("a line came, the oldest left")
        << QList<qint64>{10, 40, 0} << QList<qint64>{11, 41, 0} << 2;
    QTest::newRow("scrolled back") << QList<qint64>{10, 40, 0} << QList<qint64>{5, 35, 0} << 2;
    QTest::newRow("a flood: nothing in common")
        << QList<qint64>{10, 40, 0} << QList<qint64>{60, 90, 0} << 2;
    QTest::newRow("from the top, the oldest gone")
        << QList<qint64>{kHeadLine, 20, 0} << QList<qint64>{kHeadLine, 25, 4} << 2;
    QTest::newRow("the first line left")
        << QList<qint64>{kHeadLine, 20, 0} << QList<qint64>{3, 22, 0} << 2;
    QTest::newRow("scrolled to the top")
        << QList<qint64>{3, 22, 0} << QList<qint64>{kHeadLine, 20, 0} << 2;
    QTest::newRow("from nothing") << QList<qint64>{0, -2, 0} << QList<qint64>{kHeadLine, 5, 0} << 1;
    QTest::newRow("unchanged") << QList<qint64>{10, 40, 0} << QList<qint64>{10, 40, 0} << 0;
}

void LineStoreTest::screenReaderEditsGiveTheNewText()
{
    QFETCH(QList<qint64>, from);
    QFETCH(QList<qint64>, to);
    QFETCH(int, edits);
    LineStore store;
    for (int i = 0; i < 100; ++i)
        store.append(i % 7 == 3 ? "p> two\r\nrows " + QByteArray::number(i)
                                : "p> line " + QByteArray::number(i),
                     kLilac);
    const AccessibleWindow before = accessibleWindow(store, from[0], from[1]);
    // The oldest leave as newer lines come: a message of the old window may be gone.
    LineStore::Limits limits;
    limits.messages = 100;
    store.setLimitsForTests(limits);
    for (qint64 i = 0; i < to[2]; ++i)
        store.append("p> newer", kLilac);
    QCOMPARE(store.firstId(), to[2]);
    const AccessibleWindow after = accessibleWindow(store, to[0], to[1]);

    QString copy = before.text;
    const QList<TextEdit> told = editsBetween(before, after);
    for (const TextEdit& edit : told) {
        QCOMPARE(copy.mid(edit.position, edit.removed.size()), edit.removed);
        copy.replace(edit.position, edit.removed.size(), edit.inserted);
    }
    QCOMPARE(copy, after.text);
    QCOMPARE(int(told.size()), edits);
}

// Places inside a message that holds CR LF, LF and CR: the text shows each line end as
// one line feed, and offsets into it are counted so.
void LineStoreTest::screenReaderOffsetsInsideLineEnds()
{
    const QByteArray message = "a\r\nb\nc\rd";
    const QString shown = QStringLiteral("a\nb\nc\nd");
    for (int at = 0; at <= shown.size(); ++at) {
        const qsizetype bytes = byteOffset(message, at);
        QCOMPARE(shownOffset(message, bytes), at);
        if (at < shown.size() && shown[at] != u'\n')
            QCOMPARE(QChar(message[bytes]), shown[at]);
    }
    QCOMPARE(byteOffset(message, 2), 3);
    QCOMPARE(shownOffset(message, message.size()), int(shown.size()));
}

QTEST_MAIN(LineStoreTest)
#include "tst_line_store.moc"
