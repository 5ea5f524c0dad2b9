// Memory per kept line: the resident memory that 200,000 messages of 70 characters
// add to the shown chat window, arriving a notification's worth at a time, divided by
// their number; the program's transcript against the rich-text transcript it replaced,
// each in a process of its own.
#include "bench_report.h"
#include "bench_session.h"
#include "chat_under_test.h"
#include "child_run.h"
#include "loopback_peer.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QWidget>

namespace {

constexpr int kMessages = 200000;

// A public message shown as 70 characters: a name of 8, "> ", and 60 of words.
QByteArray lineOf70(QRandomGenerator& random)
{
    static const char* const words[] = {"gg",   "nice", "shot",  "anyone", "duel", "base",
                                        "flag", "team", "mines", "where",  "is",   "the"};
    QByteArray name;
    for (int i = 0; i < 8; ++i)
        name.append(static_cast<char>('a' + random.bounded(26)));
    QByteArray text;
    while (text.size() < 60)
        text += QByteArray(words[random.bounded(static_cast<int>(std::size(words)))]) + ' ';
    return "MSG:PUB:" + name + ':' + text.left(60) + '\n';
}

double bytesPerLine(const QString& which)
{
    const auto chat = ChatUnderTest::make(which);
    chat->window().show();
    runUntil([] { return false; }, 300);
    QRandomGenerator random(7706);
    const long before = residentKiB();
    QByteArray notification;
    for (int i = 0; i < kMessages; ++i) {
        notification += lineOf70(random);
        if (notification.size() > 32000 || i + 1 == kMessages) {
            chat->takeReceived(notification);
            notification.clear();
            QCoreApplication::processEvents();
        }
    }
    runUntil([] { return false; }, 300);
    if (chat->messagesKept() != kMessages)
        qFatal("%lld messages kept", chat->messagesKept());
    return (residentKiB() - before) * 1024.0 / kMessages;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);
    if (argc > 2 && QByteArray(argv[1]) == "--child") {
        reportToParent("bytesPerLine", bytesPerLine(QString::fromLatin1(argv[2])));
        return 0;
    }
    const double ours = runChild({QStringLiteral("--child"), QStringLiteral("ours")})
                            .value(QStringLiteral("bytesPerLine"));
    const double richText = runChild({QStringLiteral("--child"), QStringLiteral("richtext")})
                                .value(QStringLiteral("bytesPerLine"));
    reportFigure(
        "memory per kept line",
        QStringLiteral("%1 bytes for a 70-character line (200,000 kept)").arg(ours, 0, 'f', 0),
        QStringLiteral("rich-text transcript %1 bytes").arg(richText, 0, 'f', 0), ours / richText,
        "ours <= 150 bytes", ours <= 150);
    return 0;
}
