#include "session/command_line.h"

#include <QTest>

// The classification of typed lines, row by row, in the order the rows are tested.
class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void privateMessage_data();
    void privateMessage();
};

void CommandLineTest::classification_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent"); // a null string: nothing is sent

    QTest::newRow("empty") << "" << QString();
    QTest::newRow("public") << "hello all"
                            << "SEND:PUB:hello all";
    QTest::newRow("three blanks") << "   "
                                  << "SEND:PUB:   ";
    QTest::newRow("colon unchanged") << "a:b::c"
                                     << "SEND:PUB:a:b::c";
    QTest::newRow("team") << "//hi team"
                          << "SEND:FREQ:hi team";
    QTest::newRow("team alone") << "//"
                                << "SEND:FREQ:";
    QTest::newRow("team before private") << "///x y"
                                         << "SEND:FREQ:/x y";
    QTest::newRow("freq") << "=1"
                          << "CHANGEFREQ:1";
    QTest::newRow("freq alone") << "="
                                << "CHANGEFREQ:";
    QTest::newRow("freq keeps blank and letters") << "= abc"
                                                  << "CHANGEFREQ: abc";
    QTest::newRow("arena lower") << "?go duel"
                                 << "GO:duel";
    QTest::newRow("arena upper") << "?GO duel"
                                 << "GO:duel";
    QTest::newRow("arena alone") << "?go "
                                 << "GO:";
    QTest::newRow("arena keeps blanks") << "?go  two words "
                                        << "GO: two words ";
    QTest::newRow("arena mixed case") << "?Go duel"
                                      << "SEND:PUB:?Go duel";
    QTest::newRow("arena without blank") << "?go"
                                         << "SEND:PUB:?go";
    QTest::newRow("arena without blank, name") << "?goduel"
                                               << "SEND:PUB:?goduel";
    QTest::newRow("blank before slash") << " /bob hi"
                                        << "SEND:PUB: /bob hi";
    QTest::newRow("blank before equals") << " =1"
                                         << "SEND:PUB: =1";
    QTest::newRow("blank before arena") << " ?go duel"
                                        << "SEND:PUB: ?go duel";
    QTest::newRow("equals after slash is private") << "/=1"
                                                   << "SEND:PRIV:=1:";
    QTest::newRow("pasted line breaks read as blanks") << "hi\r\nSEND:PRIV:x:y\nz"
                                                       << "SEND:PUB:hi  SEND:PRIV:x:y z";
    // Classified as typed: a line break is not the blank that ends "?go ".
    QTest::newRow("line break after the arena command") << "?go\nduel"
                                                        << "SEND:PUB:?go duel";
    QTest::newRow("CR LF after the arena command") << "?GO\r\nduel"
                                                   << "SEND:PUB:?GO  duel";
    QTest::newRow("line break after the freq prefix") << "//\nteam"
                                                      << "SEND:FREQ: team";
    QTest::newRow("line break in a freq change") << "=\n1"
                                                 << "CHANGEFREQ: 1";
    QTest::newRow("line break before the slash") << "\n/bob hi"
                                                 << "SEND:PUB: /bob hi";
    QTest::newRow("line break splits a private message's name") << "/bob\nhi"
                                                                << "SEND:PRIV:bob:hi";
    QTest::newRow("non-Latin text kept")
        << QString::fromUtf8("caf\u00e9 \u20ac") << QString::fromUtf8("SEND:PUB:caf\u00e9 \u20ac");
}

void CommandLineTest::classification()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    const std::optional<QString> line = commandLineToProtocol(typed, {});
    if (sent.isNull()) {
        QVERIFY(!line.has_value());
        return;
    }
    QVERIFY(line.has_value());
    QCOMPARE(*line, sent);
}

void CommandLineTest::privateMessage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("users");
    QTest::addColumn<QString>("sent");

    const QStringList none;
    const QStringList bigs{"Big", "Big Bob", "Bo"};

    QTest::newRow("name then blank") << "/bob hi there" << none << "SEND:PRIV:bob:hi there";
    QTest::newRow("double-click form") << "/ bob hi" << none << "SEND:PRIV:bob:hi";
    QTest::newRow("only one blank dropped") << "/  bob hi" << none << "SEND:PRIV::bob hi";
    QTest::newRow("name alone") << "/bob" << none << "SEND:PRIV:bob:";
    QTest::newRow("colon ends the name")
        << "/Big Bob:hi there" << none << "SEND:PRIV:Big Bob:hi there";
    QTest::newRow("colon rather than blank ends an unlisted name")
        << "/bob hi: there" << none << "SEND:PRIV:bob hi: there";
    QTest::newRow("listed name, colon stays in the message")
        << "/bob hi: there" << QStringList{"bob"} << "SEND:PRIV:bob:hi: there";
    QTest::newRow("listed name with blank") << "/ Big Bob hi" << bigs << "SEND:PRIV:Big Bob:hi";
    QTest::newRow("shorter listed name") << "/ Big hi" << bigs << "SEND:PRIV:Big:hi";
    QTest::newRow("listed name, message with colon")
        << "/ Big Bob see 1:2" << bigs << "SEND:PRIV:Big Bob:see 1:2";
    QTest::newRow("listed name needs the blank after it")
        << "/ Bob hi" << bigs << "SEND:PRIV:Bob:hi";
    QTest::newRow("listed name is matched whole")
        << "/ Bobby hi" << QStringList{"Bob"} << "SEND:PRIV:Bobby:hi";
    QTest::newRow("listed name, empty message") << "/ Big Bob " << bigs << "SEND:PRIV:Big Bob:";
    QTest::newRow("listed name is case-sensitive")
        << "/ big bob hi" << bigs << "SEND:PRIV:big:bob hi";
    QTest::newRow("unlisted name with blank needs colon")
        << "/ Old Tom:hi" << bigs << "SEND:PRIV:Old Tom:hi";
}

void CommandLineTest::privateMessage()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, users);
    QFETCH(QString, sent);
    QCOMPARE(commandLineToProtocol(typed, users).value_or(QString()), sent);
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
