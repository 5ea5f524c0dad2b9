#include "chat_user.h"

#include "chatwindow/image_list.h"
#include "testzone/zone_test_support.h"

#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWindow>

namespace {

QImage pixelsOf(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage pictureForShip(int ship)
{
    // The zone numbers ships from 0; the list's pictures are numbered from 1.
    return QImage(ImageList::resourcePath(ship + 1)).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

void typeIntoBox(QLineEdit* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

void typeLine(QWidget& window, const QString& text)
{
    QWindow* native = window.windowHandle();
    for (const QChar c : text)
        QTest::keyClick(native, c.toLatin1());
    QTest::keyClick(native, Qt::Key_Return);
}

std::optional<Paragraph> awaitParagraph(const TranscriptView* transcript, const QString& text,
                                        int timeoutMs)
{
    std::optional<Paragraph> found;
    const bool arrived = QTest::qWaitFor(
        [&] {
            for (const Paragraph& paragraph : paragraphsOf(transcript)) {
                if (paragraph.text == text) {
                    found = paragraph;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return arrived ? found : std::nullopt;
}

QStringList listedNames(const QListWidget& list)
{
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    return names;
}

QMap<QString, int> shipsAnnounced(const QList<QByteArray>& lines)
{
    QMap<QString, int> ships;
    for (const QByteArray& line : lines) {
        if (!line.startsWith("PLAYER:") && !line.startsWith("ENTERING:"))
            continue;
        const QList<QByteArray> fields = line.split(':');
        bool ok = false;
        const int ship = fields.value(2).toInt(&ok);
        if (ok)
            ships.insert(QString::fromLatin1(fields.value(1)), ship);
    }
    return ships;
}

QStringList wrongPictures(const QListWidget& list, const QMap<QString, int>& ships)
{
    QStringList wrong;
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        if (!ships.contains(item->text()))
            wrong.append(item->text() + QStringLiteral(": no ship announced"));
        else if (pixelsOf(item->icon()) != pictureForShip(ships.value(item->text())))
            wrong.append(item->text() + QStringLiteral(": not the picture of ship ") +
                         QString::number(ships.value(item->text())));
    }
    return wrong;
}

std::unique_ptr<ZoneClient> peerInArena(quint16 port, const QByteArray& name,
                                        const QByteArray& arena, QList<QByteArray>* arrival)
{
    auto client = std::make_unique<ZoneClient>(port);
    client->send("LOGIN:1:" + name + ":secret");
    if (client->nextLine() != "LOGINOK:" + name)
        return nullptr;
    const QList<QByteArray> lines = client->exchange("GO:" + arena);
    if (!lines.value(0).startsWith("INARENA:" + arena + ':'))
        return nullptr;
    if (arrival)
        *arrival = lines;
    return client;
}

bool receivedLineStartingWith(ZoneClient& client, const QByteArray& prefix)
{
    for (const QByteArray& line : client.drain()) {
        if (line.startsWith(prefix))
            return true;
    }
    return false;
}
