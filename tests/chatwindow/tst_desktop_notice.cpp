// Notices of messages meant for the user under a zone that floods them: the pace of the
// notifications, the length of what they carry, and the window's attention, with the
// desktop's side recorded behind its seam.
#include "chat_window_steps.h"

#include "chatwindow/desktop_notice.h"
#include "chatwindow/frm_main.h"
#include "chatwindow/notice_pacing.h"
#include "chatwindow/transcript/transcript_view.h"
#include "session/socket_component.h"
#include "shell/base/session_state.h"
#include "support/connect_socket.h"
#include "support/loopback_server.h"
#include "support/window_test.h"

#include <QtTest>

namespace {

// What would have reached the notification service, and when, and the window manager.
class RecordingNotice : public DesktopNotice
{
public:
    explicit RecordingNotice(QWidget& window) : DesktopNotice(window) { clock.start(); }
    QStringList notified; // "summary|body"
    QList<qint64> notifiedAt;
    int attentionAsked = 0;
    QElapsedTimer clock;

protected:
    void notify(const QString& summary, const QString& body) override
    {
        notified.append(summary + u'|' + body);
        notifiedAt.append(clock.elapsed());
    }
    void askAttention() override { ++attentionAsked; }
};

struct Shown
{
    qint64 at;
    QString text;
    bool atOnce; // handed back by the arrival itself, not held
};

// Plays arrivals (milliseconds) through the pacing as the window's timer would: a held
// message goes out at the moment the pacing names.
QList<Shown> play(const QList<qint64>& arrivals)
{
    NoticePacing pacing;
    QList<Shown> shown;
    const auto releaseDue = [&](qint64 until) {
        while (const std::optional<qint64> at = pacing.releaseAt()) {
            if (*at > until)
                break;
            const auto held = pacing.release(*at);
            if (!held)
                break;
            shown.append({*at, held->text, false});
        }
    };
    for (const qint64 t : arrivals) {
        releaseDue(t - 1);
        if (auto now = pacing.offer({QStringLiteral("Bob"), QString::number(t)}, t))
            shown.append({t, now->text, true});
        releaseDue(t);
    }
    releaseDue(std::numeric_limits<qint64>::max());
    return shown;
}

} // namespace

class DesktopNoticeTest : public WindowTest
{
    Q_OBJECT

private slots:
    void pacingShowsNewestAtMostOnceASecond_data();
    void pacingShowsNewestAtMostOnceASecond();
    void longTextIsCut_data();
    void longTextIsCut();
    void floodFromZoneReachesDesktopPaced();
};

void DesktopNoticeTest::pacingShowsNewestAtMostOnceASecond_data()
{
    QTest::addColumn<QList<qint64>>("arrivals");
    QTest::addColumn<QList<qint64>>("atOnce"); // the arrivals shown the moment they come
    QList<qint64> flood;                       // 500 a second for five seconds
    for (qint64 t = 0; t < 5000; t += 2)
        flood.append(t);
    QTest::newRow("flood") << flood << QList<qint64>{0};
    QTest::newRow("one") << QList<qint64>{7} << QList<qint64>{7};
    QTest::newRow("two at once") << QList<qint64>{0, 0} << QList<qint64>{0};
    QTest::newRow("every 600 ms") << QList<qint64>{0, 600, 1200, 1800, 2400} << QList<qint64>{0};
    QTest::newRow("quiet between")
        << QList<qint64>{0, 1000, 1999, 4000, 4001, 9000} << QList<qint64>{0, 1000, 4000, 9000};
}

void DesktopNoticeTest::pacingShowsNewestAtMostOnceASecond()
{
    QFETCH(QList<qint64>, arrivals);
    QFETCH(QList<qint64>, atOnce);
    const QList<Shown> shown = play(arrivals);
    QVERIFY(!shown.isEmpty());
    // The last message of all is shown, at most a second late.
    QCOMPARE(shown.last().text, QString::number(arrivals.last()));
    QVERIFY(shown.last().at <= arrivals.last() + 1000);
    QList<qint64> shownAtOnce;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (i > 0)
            QVERIFY2(
                shown[i].at - shown[i - 1].at >= 1000,
                qPrintable(QStringLiteral("%1 then %2").arg(shown[i - 1].at).arg(shown[i].at)));
        // What shows is the newest message that had arrived by then.
        qint64 newest = -1;
        for (const qint64 t : arrivals)
            if (t <= shown[i].at)
                newest = t;
        QCOMPARE(shown[i].text, QString::number(newest));
        if (shown[i].atOnce)
            shownAtOnce.append(shown[i].at);
    }
    QCOMPARE(shownAtOnce, atOnce);
}

void DesktopNoticeTest::longTextIsCut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString a499(499, u'a');
    QTest::newRow("500 stays") << a499 + u'b' << a499 + u'b';
    QTest::newRow("501 cut") << a499 + QStringLiteral("bc") << a499 + QChar(0x2026);
    QTest::newRow("1 MiB cut") << QString(1 << 20, u'x') << QString(499, u'x') + QChar(0x2026);
}

void DesktopNoticeTest::longTextIsCut()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(cutForNotice(text, DesktopNotice::kMaxBodyLength), shown);
}

// Private messages as fast as a zone can send them, through a real connection, while
// another window is active: one notification at once, the newest a second later with
// its text cut, one request for attention until the user comes to the window.
void DesktopNoticeTest::floodFromZoneReachesDesktopPaced()
{
    Declares::userName = QStringLiteral("Quill");
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* notice = new RecordingNotice(w);
    w.setDesktopNoticeForTests(notice);
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());

    LoopbackServer server;
    QVERIFY(connectSocketTo(server, *w.Socket1));
    QByteArray flood;
    for (int i = 0; i < 300; ++i)
        flood += "MSG:PRIV:Bob:message " + QByteArray::number(i) + '\n';
    server.send(flood + "MSG:PRIV:Ann:" + QByteArray(200000, 'z') + '\n');
    // The first shows at once; the newest of all comes when its second has passed.
    QTRY_VERIFY(!notice->notified.isEmpty());
    QVERIFY(notice->notified.first().startsWith(u"Bob|message "));
    const QString cut = "Ann|" + QString(499, u'z') + QChar(0x2026);
    QTRY_COMPARE_WITH_TIMEOUT(notice->notified.last(), cut, 10000);
    QCOMPARE(notice->attentionAsked, 1);

    // Back in the window and away again: the next message asks again.
    w.activateWindow();
    QTRY_VERIFY(w.isActiveWindow());
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    server.send("MSG:PRIV:Bob:again\n");
    QTRY_COMPARE(notice->attentionAsked, 2);
    QTRY_COMPARE_WITH_TIMEOUT(notice->notified.last(), QStringLiteral("Bob|again"), 5000);
    // However slow the machine, never two calls within a second.
    for (qsizetype i = 1; i < notice->notifiedAt.size(); ++i)
        QVERIFY2(notice->notifiedAt[i] - notice->notifiedAt[i - 1] >= 990,
                 qPrintable(notice->notified.join(u'\n')));
}

QTEST_MAIN(DesktopNoticeTest)
#include "tst_desktop_notice.moc"
