#include "session/message_for_user.h"

#include <QTest>

// Which received lines call for the attention of the user logged in as "Quill".
class MessageForUserTest : public QObject
{
    Q_OBJECT

private slots:
    void meantForTheUser_data();
    void meantForTheUser();
};

void MessageForUserTest::meantForTheUser_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("sender"); // a null string: no notice
    QTest::addColumn<QString>("text");

    QTest::newRow("private") << "MSG:PRIV:AceBot:hello: there"
                             << "AceBot"
                             << "hello: there";
    QTest::newRow("private, CR LF server") << "MSG:PRIV:AceBot:hi\r"
                                           << "AceBot"
                                           << "hi";
    QTest::newRow("private, empty text") << "MSG:PRIV:AceBot:"
                                         << "AceBot"
                                         << "";
    QTest::newRow("public naming the user") << "MSG:PUB:Bob:hi quill!"
                                            << "Bob"
                                            << "hi quill!";
    QTest::newRow("team naming the user") << "MSG:FREQ:Bob:QUILL, cover me"
                                          << "Bob"
                                          << "QUILL, cover me";
    QTest::newRow("chat channel naming the user") << "MSG:CHAT:1:Bob> where is Quill?"
                                                  << "Bob"
                                                  << "where is Quill?";
    QTest::newRow("chat channel without a sender") << "MSG:CHAT:2:Quill: ready"
                                                   << "Chat 2"
                                                   << "Quill: ready";
    QTest::newRow("public without the name") << "MSG:PUB:Bob:hi all" << QString() << QString();
    QTest::newRow("name inside a word") << "MSG:PUB:Bob:quills and inks" << QString() << QString();
    QTest::newRow("name after a letter") << "MSG:PUB:Bob:Squill" << QString() << QString();
    QTest::newRow("name joined by an underscore")
        << "MSG:PUB:Bob:Quill_2" << QString() << QString();
    QTest::newRow("name only as the sender") << "MSG:PUB:Quill2:hi" << QString() << QString();
    QTest::newRow("own public message sent back")
        << "MSG:PUB:quill:I am Quill" << QString() << QString();
    QTest::newRow("own private message") << "MSG:PRIV:Quill:note to self" << QString() << QString();
    QTest::newRow("arena notice naming the user")
        << "MSG:ARENA:Quill entered" << QString() << QString();
    QTest::newRow("squad naming the user")
        << "MSG:SQUAD:wolves:Bob:Quill!" << QString() << QString();
    QTest::newRow("sysop naming the user") << "MSG:SYSOP:Quill, behave" << QString() << QString();
    QTest::newRow("kind in lower case") << "msg:priv:Bob:hi" << QString() << QString();
    QTest::newRow("not a message") << "PLAYER:Quill:1:0" << QString() << QString();
}

void MessageForUserTest::meantForTheUser()
{
    QFETCH(QString, line);
    QFETCH(QString, sender);
    QFETCH(QString, text);
    const std::optional<MessageForUser> message = messageForUser(line, QStringLiteral("Quill"));
    if (sender.isNull()) {
        QCOMPARE(message, std::nullopt);
        return;
    }
    QCOMPARE(message, (MessageForUser{sender, text}));
}

QTEST_APPLESS_MAIN(MessageForUserTest)
#include "tst_message_for_user.moc"
