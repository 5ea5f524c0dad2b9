// Finding a term in the line store: what matches, how many, which is current and which
// comes next, while messages arrive and the oldest go. No widgets.
#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/transcript_search.h"
#include "session/wire_codec.h"
#include "text_pos_string.h"

#include <QtTest>

namespace {

constexpr TextLook kLilac{qRgb(181, 181, 255), false, false};

QList<qsizetype> matchesIn(const QString& term, const QByteArray& text)
{
    const TextMatcher matcher(term);
    QList<qsizetype> found;
    for (qsizetype at = matcher.indexIn(text); at >= 0; at = matcher.indexIn(text, at + 1))
        found.append(at);
    return found;
}

// What the search must find, read another way: every place where the term's characters
// follow, compared as Unicode small letters.
qint64 countByHand(const LineStore& store, const QString& term)
{
    qint64 count = 0;
    for (qint64 id = store.firstId(); id < store.endId(); ++id) {
        const QString text = fromWire(store.text(id)).toLower();
        for (qsizetype at = text.indexOf(term.toLower()); at >= 0;
             at = text.indexOf(term.toLower(), at + 1))
            ++count;
    }
    return count;
}

void countAll(TranscriptSearch& search)
{
    QVERIFY(search.countSome(QDeadlineTimer(QDeadlineTimer::Forever)));
}

} // namespace

class TranscriptSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void termMatches_data();
    void termMatches();
    void smallLettersAreUnicodes();
    void walkingTheMatches();
    void matchesStayRightWhileTheOldestGo();
    void countingInSlicesSettlesNearTheLastMatch();
    void longDenseLinesCostLittleAtATime();
};

void TranscriptSearchTest::termMatches_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<qsizetype>>("found");

    QTest::newRow("either case") << "pilot" << QByteArray("xX_Dark PILOT_Xx Pilot")
                                 << QList<qsizetype>{8, 17};
    QTest::newRow("overlapping") << "aa" << QByteArray("aaaa") << QList<qsizetype>{0, 1, 2};
    QTest::newRow("overlapping, in a longer text")
        << "aBa" << QByteArray("xabababa-ABABAB-abAbaba..") + QByteArray(20, 'a')
        << QList<qsizetype>{1, 3, 5, 9, 11, 16, 18, 20};
    QTest::newRow("accented letters")
        << QStringLiteral("CAFÉ ŠŒŽŸ") << QByteArray("caf\xE9 \x9A\x9C\x9E\xFF")
        << QList<qsizetype>{0};
    QTest::newRow("sign without small letter")
        << QStringLiteral("×") << QByteArray("\xD7\xF7") << QList<qsizetype>{0};
    QTest::newRow("at the end of a long text")
        << "End" << QByteArray(40, 'x') + "END" << QList<qsizetype>{40};
    QTest::newRow("one character, many places")
        << "e" << QByteArray("the e-mail, eh?") << QList<qsizetype>{2, 4, 12};
    QTest::newRow("longer than the text")
        << "tournament" << QByteArray("tour") << QList<qsizetype>{};
    QTest::newRow("empty term") << "" << QByteArray("abc") << QList<qsizetype>{};
    QTest::newRow("a character the transcript cannot hold")
        << QStringLiteral("a✓") << QByteArray("a?") << QList<qsizetype>{};
}

void TranscriptSearchTest::termMatches()
{
    QFETCH(QString, term);
    QFETCH(QByteArray, text);
    QFETCH(QList<qsizetype>, found);
    QCOMPARE(matchesIn(term, text), found);
    QCOMPARE(TextMatcher(term).count(text), found.size());
}

// The search's small letters are Unicode's, for every character the transcript holds.
void TranscriptSearchTest::smallLettersAreUnicodes()
{
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const QChar small = fromWire(QByteArrayView(&c, 1)).front().toLower();
        const int expected = windows1252Code(small) >= 0 ? windows1252Code(small) : code;
        QCOMPARE(static_cast<unsigned char>(TextMatcher::fold(c)), expected);
    }
}

void TranscriptSearchTest::walkingTheMatches()
{
    LineStore store;
    const QByteArray lines[] = {"ann> the tournament starts at nine",
                                "bob> Tournament? tournament!", "cy> tourna",
                                "ment> no match across messages", "dee> TOURNAMENT"};
    for (const QByteArray& line : lines)
        store.append(line, kLilac);
    TranscriptSearch search(store);
    search.setTerm(QStringLiteral("Tournament"));
    countAll(search);
    QCOMPARE(search.count(), 4);
    QCOMPARE(search.current(), (TextPos{4, 5}));
    QCOMPARE(search.currentNumber(), 1);

    // Older and older, past the oldest round to the newest; and back.
    const QList<TextPos> older = {{1, 17}, {1, 5}, {0, 9}, {4, 5}};
    for (qsizetype i = 0; i < older.size(); ++i) {
        search.toOlder();
        QCOMPARE(search.current(), older[i]);
        QCOMPARE(search.currentNumber(), (i + 1) % 4 + 1);
    }
    search.toNewer();
    QCOMPARE(search.current(), (TextPos{0, 9}));

    // A longer term keeps the current match where it still matches, a shorter one too.
    search.setTerm(QStringLiteral("tournament starts"));
    countAll(search);
    QCOMPARE(search.current(), (TextPos{0, 9}));
    QCOMPARE(search.count(), 1);
    search.setTerm(QStringLiteral("tour"));
    countAll(search);
    QCOMPARE(search.current(), (TextPos{0, 9}));
    QCOMPARE(search.count(), 5);
    search.setTerm(QStringLiteral("nothing like it"));
    countAll(search);
    QCOMPARE(search.count(), 0);
    QCOMPARE(search.current(), std::nullopt);
    QCOMPARE(search.currentNumber(), 0);
    search.toOlder();
    QCOMPARE(search.current(), std::nullopt);
}

// Messages arrive and the oldest go, many blocks' worth: the count is always that of
// what is kept, and the current match never names a message that went.
void TranscriptSearchTest::matchesStayRightWhileTheOldestGo()
{
    LineStore store;
    store.setLimitsForTests({5000, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    TranscriptSearch search(store);
    const QString term = QStringLiteral("flag");
    const auto line = [](int i) {
        // Every seventh message holds the term, every eleventh twice.
        QByteArray text = "p" + QByteArray::number(i) + "> ";
        if (i % 7 == 0)
            text += "take the FLAG ";
        if (i % 11 == 0)
            text += "flagflag";
        return text;
    };
    for (int i = 0; i < 3000; ++i)
        store.append(line(i), kLilac);
    search.setTerm(term);
    countAll(search);
    QCOMPARE(search.count(), countByHand(store, term));
    // The current match is taken back among the oldest, which are about to go.
    while (search.current()->message > store.firstId() + 100)
        search.toOlder();

    for (int i = 3000; i < 12000; i += 250) {
        for (int j = i; j < i + 250; ++j)
            store.append(line(j), kLilac);
        search.storeChanged();
        QCOMPARE(search.count(), countByHand(store, term));
        QVERIFY(search.current());
        QVERIFY(search.current()->message >= store.firstId());
        QVERIFY(search.currentNumber() >= 1 && search.currentNumber() <= search.count());
    }
    // The current match, once its message went, became the oldest kept.
    QCOMPARE(search.currentNumber(), search.count());
    search.toNewer();
    QCOMPARE(search.currentNumber(), search.count() - 1);
}

// Counting a slice at a time: the matches near the last current one are found first,
// and the result is the same as counting all at once, lines arriving in between.
void TranscriptSearchTest::countingInSlicesSettlesNearTheLastMatch()
{
    LineStore store;
    for (int i = 0; i < 20000; ++i)
        store.append("p> the ball is " + QByteArray::number(i), kLilac);
    TranscriptSearch search(store);
    search.setTerm(QStringLiteral("ball is 70"));
    countAll(search);
    for (int i = 0; i < 50; ++i)
        search.toOlder();
    const TextPos before = *search.current();

    search.setTerm(QStringLiteral("ball is 7"));
    int slices = 0;
    while (!search.countSome(QDeadlineTimer(0))) {
        ++slices;
        if (slices == 1) {
            // One block counted: the current match is settled already, at or before
            // the last one.
            QCOMPARE(search.current(), before);
            store.append("p> the ball is 7070", kLilac);
            search.storeChanged();
        }
    }
    QVERIFY(slices > 5);
    QCOMPARE(search.count(), countByHand(store, QStringLiteral("ball is 7")));
    QCOMPARE(search.current(), before);
}

// Long lines crowded with matches, as a hostile zone may send them: one long message is
// counted a slice at a time, not at once; and while lines of 32 KiB arrive and push the
// oldest out, the count is whole and right after every change.
void TranscriptSearchTest::longDenseLinesCostLittleAtATime()
{
    LineStore store;
    store.append(QByteArray(LineStore::kMaxMessageBytes, 'a'), kLilac);
    TranscriptSearch search(store);
    const QString term = QStringLiteral("aa");
    search.setTerm(term);
    int slices = 1;
    while (!search.countSome(QDeadlineTimer(0)))
        ++slices;
    QVERIFY(slices > 8);
    QCOMPARE(search.count(), countByHand(store, term));

    store.setLimitsForTests({LineStore::kKeepMessages, 1024 * 1024, LineStore::kMaxRows});
    for (int i = 0; i < 80; ++i) {
        // A few lines per change, back to back, so that a match across two would be
        // easy to miscount as one.
        for (int j = 0; j <= i % 3; ++j)
            store.append(QByteArray(32 * 1024 - 100 * j, 'a') + " a" + QByteArray(j, 'a'), kLilac);
        search.storeChanged();
        QVERIFY(search.isCounted());
        QCOMPARE(search.count(), countByHand(store, term));
        QVERIFY(search.current() && search.current()->message >= store.firstId());
    }
}

QTEST_MAIN(TranscriptSearchTest)
#include "tst_transcript_search.moc"
