// The decisions behind reading back, without widgets: what the new-messages indicator
// says, where the marker of where the reader left off goes, and when each message
// arrived.
#include "chatwindow/transcript/arrival_times.h"
#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/read_marker.h"
#include "chatwindow/transcript/unseen_count.h"

#include <QDateTime>
#include <QtTest>

namespace {

constexpr TextLook kLilac{qRgb(181, 181, 255), false, false};

qint64 secondsAt(int day, int hour, int minute, int second)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second)).toSecsSinceEpoch();
}

} // namespace

class ReadingAidsTest : public QObject
{
    Q_OBJECT

private slots:
    void indicatorText_data();
    void indicatorText();
    void markerPlace_data();
    void markerPlace();
    void arrivalTimeTooltip_data();
    void arrivalTimeTooltip();
    void arrivalTimesStayWithTheirMessages();
};

void ReadingAidsTest::indicatorText_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("one") << 1LL << "1 new message";
    QTest::newRow("a few") << 37LL << "37 new messages";
    QTest::newRow("thousands") << 1234LL << "1,234 new messages";
    QTest::newRow("the most counted") << 9999LL << "9,999 new messages";
    QTest::newRow("one more") << 10000LL << "9,999+ new messages";
    QTest::newRow("a flood") << 2000000LL << "9,999+ new messages";
}

void ReadingAidsTest::indicatorText()
{
    QFETCH(qint64, count);
    QFETCH(QString, text);
    QCOMPARE(newMessagesText(count), text);
}

void ReadingAidsTest::markerPlace_data()
{
    // Steps: "leave", "back", "+N" (N messages arrive), "trim N" (the first kept becomes
    // N). The store starts with 10 messages, 0 to 9.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<qint64>("above"); // -1: no marker

    QTest::newRow("never left") << QStringList{"+5"} << -1LL;
    QTest::newRow("arrivals while away") << QStringList{"leave", "+3", "back"} << 10LL;
    QTest::newRow("shown while still away") << QStringList{"leave", "+3"} << 10LL;
    QTest::newRow("away with nothing new") << QStringList{"leave", "back"} << -1LL;
    QTest::newRow("arrivals while here make no marker")
        << QStringList{"leave", "back", "+4"} << -1LL;
    QTest::newRow("left again with nothing new keeps it")
        << QStringList{"leave", "+3", "back", "+2", "leave", "back"} << 10LL;
    QTest::newRow("left again, arrivals while away move it")
        << QStringList{"leave", "+3", "back", "+2", "leave", "+1", "back"} << 15LL;
    QTest::newRow("arrivals after coming back stay below it")
        << QStringList{"leave", "+3", "back", "+20"} << 10LL;
    QTest::newRow("trimming the messages before the one above keeps it")
        << QStringList{"leave", "+3", "back", "trim 9"} << 10LL;
    QTest::newRow("goes with the message above it")
        << QStringList{"leave", "+3", "back", "trim 10"} << -1LL;
    QTest::newRow("the place left is trimmed before anything arrives")
        << QStringList{"leave", "trim 10", "+3"} << -1LL;
    QTest::newRow("left with an empty store") << QStringList{"trim 10", "leave", "+3"} << -1LL;
}

void ReadingAidsTest::markerPlace()
{
    QFETCH(QStringList, steps);
    QFETCH(qint64, above);

    ReadMarker marker;
    qint64 first = 0;
    qint64 end = 10;
    for (const QString& step : steps) {
        if (step == u"leave") {
            marker.windowLeft(end);
        } else if (step == u"back") {
            marker.windowActivated();
        } else if (step.startsWith(u'+')) {
            // One change of the store per message, as a slow zone sends them.
            for (int i = 0; i < step.mid(1).toInt(); ++i)
                marker.storeChanged(first, ++end);
        } else {
            first = step.mid(5).toLongLong();
            end = std::max(end, first);
            marker.storeChanged(first, end);
        }
    }
    QCOMPARE(marker.above().value_or(-1), above);
}

void ReadingAidsTest::arrivalTimeTooltip_data()
{
    QTest::addColumn<qint64>("arrival");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<QString>("text");

    QTest::newRow("this morning") << secondsAt(8, 9, 5, 7) << secondsAt(8, 17, 0, 0) << "09:05:07";
    QTest::newRow("a second ago, past midnight")
        << secondsAt(8, 0, 0, 0) << secondsAt(8, 0, 0, 1) << "00:00:00";
    QTest::newRow("just before midnight, read after it")
        << secondsAt(7, 23, 59, 58) << secondsAt(8, 0, 0, 3) << "2026-12-07 23:59:58";
    QTest::newRow("last week") << secondsAt(1, 14, 30, 0) << secondsAt(8, 14, 30, 0)
                               << "2026-12-01 14:30:00";
}

void ReadingAidsTest::arrivalTimeTooltip()
{
    QFETCH(qint64, arrival);
    QFETCH(qint64, now);
    QFETCH(QString, text);
    QCOMPARE(arrivalTimeText(arrival, now), text);
}

// Each kept message answers with the time it was stored with, whatever gaps the clock
// makes, and the oldest go with their times.
void ReadingAidsTest::arrivalTimesStayWithTheirMessages()
{
    LineStore store;
    store.setLimitsForTests({3000, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    QList<qint64> given;
    qint64 clock = secondsAt(1, 8, 0, 0);
    for (int i = 0; i < 5000; ++i) {
        // Mostly a few seconds apart; a quiet night of 20 hours now and then.
        clock += i % 1500 == 700 ? 20 * 3600 : i % 7;
        given.append(clock);
        QCOMPARE(store.append("p> line " + QByteArray::number(i), kLilac, clock), qint64(i));
    }
    QCOMPARE(store.count(), 3000);
    for (qint64 id = store.firstId(); id < store.endId(); ++id)
        QCOMPARE(store.arrival(id), given[id]);

    // A clock set back by a minute does not make the time later than it was.
    const qint64 set = store.append("p> after the clock was set back", kLilac, clock - 60);
    QVERIFY(store.arrival(set) <= clock);
    QVERIFY(store.arrival(set) >= clock - 60 - 0xFFFF);
}

QTEST_APPLESS_MAIN(ReadingAidsTest)
#include "tst_reading_aids.moc"
