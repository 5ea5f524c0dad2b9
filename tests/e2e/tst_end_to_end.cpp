// The whole client as a user meets it: the connect dialog and the chat window on the
// offscreen platform, the real test zone process on 127.0.0.1, and other players of the
// zone on plain sockets who see what the user sends and talk back.
#define QTEST_QPA_MOUSE_HANDLING // real press/release/double-click sequences for the list

#include "chat_user.h"
#include "testzone/zone_test_support.h"

#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "login/frm_connect.h"
#include "shell/base/session_state.h"
#include "shell/main_loop.h"
#include "support/message_box_closer.h"
#include "support/window_test.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <memory>

// Runs a fixture step and leaves the test function if the step failed.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace {

const QString kUser = QStringLiteral("Quill");

// Runs the event loop as Main does until something asks it to end, or gives up after
// the bound; returns the loop's exit code (-1 when the bound ended it).
int runEventLoop(int boundMs = 10000)
{
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    bound.start(boundMs);
    return QCoreApplication::exec();
}

QByteArray fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class EndToEndTest : public WindowTest
{
    Q_OBJECT

private slots:
    void cleanup();

    void loginThroughDialogJoinsArena();
    void chatInBothDirections();
    void privateMessageFromDoubleClick();
    void arenaChangeFollowsTheZone();
    void crLfZoneListFollowsArrivalsAndDepartures();
    void freqChangeThenTeamMessage();
    void keepAliveHoldsTheSession();
    void closingTheWindowEndsTheSession();
    void zoneGoingAwayEndsTheProgram();
    void refusedLoginStaysReadableUntilClosed();
    void robotsShowEveryKindOfLine();

private:
    void startZone(const QStringList& options = {});
    // Shows the dialog as Main does, types the login into it, presses Connect and waits
    // until the chat window shows the arena joined.
    void connectThroughDialog(const QString& arena = QStringLiteral("elim"));
    frmMain& window() { return frmMain::instance(); }
    std::optional<Paragraph> await(const QString& text, int timeoutMs = 5000)
    {
        return awaitParagraph(window().RecTxt, text, timeoutMs);
    }

    std::unique_ptr<ZoneProcess> zone_;
};

void EndToEndTest::cleanup()
{
    WindowTest::cleanup();
    zone_.reset();
}

void EndToEndTest::startZone(const QStringList& options)
{
    zone_ = std::make_unique<ZoneProcess>();
    QVERIFY(zone_->start(options));
    QVERIFY(zone_->port() <= 32767);
}

void EndToEndTest::connectThroughDialog(const QString& arena)
{
    // Main's start: the dialog on screen, then the running flag.
    frmConnect& dialog = frmConnect::instance();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Declares::running = true;
    QVERIFY(!frmMain::ifLoaded());

    typeIntoBox(dialog.NameTxt, kUser);
    typeIntoBox(dialog.PasswordTxt, QStringLiteral("secret"));
    typeIntoBox(dialog.ArenaTxt, arena);
    typeIntoBox(dialog.PortTxt, QString::number(zone_->port()));
    typeIntoBox(dialog.IPTxt, QStringLiteral("127.0.0.1"));
    QCOMPARE(dialog.NameTxt->text(), kUser);
    QCOMPARE(dialog.PortTxt->text(), QString::number(zone_->port()));
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);

    // Connect loads the chat window hidden for its socket; no keep-alive goes out yet.
    QVERIFY(frmMain::ifLoaded());
    QVERIFY(!window().TmrKeepAlive->isActive());

    QTRY_VERIFY(window().isVisible());
    QVERIFY(!frmConnect::ifLoaded());
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QVERIFY(window().windowHandle());
    QVERIFY(Declares::running);

    const auto loggedIn = await(QStringLiteral("Logged in: ") + kUser);
    QVERIFY(loggedIn);
    QCOMPARE(describe(*loggedIn),
             describe(styled(QStringLiteral("Logged in: ") + kUser, kPrivateColour)));
    const auto joined =
        await(QStringLiteral("You have joined arena: ") + arena + QStringLiteral(" on freq: 0"));
    QVERIFY(joined);
    QCOMPARE(joined->colour, kFreqColour);
}

void EndToEndTest::loginThroughDialogJoinsArena()
{
    STEP(startZone());
    // Settings of an earlier run: the dialog shows them, the user types over them.
    {
        QFile ini(settingsPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[INIT]\r\nName=Oldname\r\nPassword=old\r\nArena=0\r\nServerIP=10.0.0.9\r\n"
                  "Port=1\r\n");
    }
    QCOMPARE(frmConnect::instance().NameTxt->text(), QStringLiteral("Oldname"));
    // The password kept last time ticks Save Password; this user unticks it.
    QVERIFY(frmConnect::instance().SavePassChk->isChecked());
    frmConnect::instance().SavePassChk->setChecked(false);

    QList<QByteArray> annArrival;
    QList<QByteArray> bobArrival;
    auto ann = peerInArena(zone_->port(), "Ann", "elim", &annArrival);
    auto bob = peerInArena(zone_->port(), "Bob", "elim", &bobArrival);
    QVERIFY(ann && bob);

    STEP(connectThroughDialog());
    const QList<Paragraph> transcript = paragraphsOf(window().RecTxt);
    QCOMPARE(transcript.value(0).text, QString()); // the first append leaves a blank line
    QCOMPARE(transcript.value(1).text, QStringLiteral("Logged in: Quill"));
    QCOMPARE(transcript.value(2).text, QStringLiteral("You have joined arena: elim on freq: 0"));

    // The zone tells whoever enters after us which ship each of us flies.
    QList<QByteArray> watcherArrival;
    auto watcher = peerInArena(zone_->port(), "Watcher", "elim", &watcherArrival);
    QVERIFY(watcher);
    const QMap<QString, int> ships = shipsAnnounced(watcherArrival);
    QCOMPARE(ships.keys(), (QStringList{"Ann", "Bob", "Quill", "Watcher"}));
    // Distinct ships, so a wrong picture cannot pass for the right one.
    QCOMPARE(QSet<int>(ships.begin(), ships.end()).size(), 4);

    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Ann", "Bob", "Quill"}));
    QCOMPARE(wrongPictures(*window().UsrLst, ships), QStringList());

    // The settings file in the program folder now holds what was typed, without the
    // password, which was not to be kept.
    const QByteArray ini = fileText(settingsPath());
    QVERIFY2(ini.contains("Quill") && ini.contains(QByteArray::number(zone_->port())), ini);
    QVERIFY2(!ini.contains("Oldname") && !ini.contains("secret"), ini);
    QVERIFY(Declares::password.isEmpty());
}

void EndToEndTest::chatInBothDirections()
{
    STEP(startZone());
    auto ann = peerInArena(zone_->port(), "Ann", "elim");
    QVERIFY(ann);
    STEP(connectThroughDialog());

    typeLine(window(), QStringLiteral("hello everyone"));
    QCOMPARE(ann->lineStartingWith("MSG:PUB:"), QByteArray("MSG:PUB:Quill:hello everyone"));
    QCOMPARE(window().SendTxt->text(), QString());
    typeLine(window(), QStringLiteral("//team only"));
    QCOMPARE(ann->lineStartingWith("MSG:FREQ:"), QByteArray("MSG:FREQ:Quill:team only"));
    typeLine(window(), QStringLiteral("/Ann just you"));
    QCOMPARE(ann->lineStartingWith("MSG:PRIV:"), QByteArray("MSG:PRIV:Quill:just you"));

    ann->send("SEND:PUB:hi Quill");
    ann->send("SEND:FREQ:cover me");
    ann->send("SEND:PRIV:Quill:psst");
    const struct
    {
        QString text;
        QColor colour;
    } expected[] = {{QStringLiteral("Ann> hi Quill"), kPublicColour},
                    {QStringLiteral("Ann> cover me"), kFreqColour},
                    {QStringLiteral("Ann> psst"), kPrivateColour}};
    for (const auto& line : expected) {
        const auto seen = await(line.text);
        QVERIFY2(seen, qPrintable(line.text));
        QCOMPARE(describe(*seen), describe(styled(line.text, line.colour)));
    }
    // The zone sends the public and team lines back, and the client adds no echo of its own.
    QStringList own;
    for (const Paragraph& paragraph : paragraphsOf(window().RecTxt)) {
        if (paragraph.text.startsWith(QStringLiteral("Quill>")))
            own.append(paragraph.text);
    }
    QCOMPARE(own, (QStringList{"Quill> hello everyone", "Quill> team only"}));
}

void EndToEndTest::privateMessageFromDoubleClick()
{
    STEP(startZone());
    auto ann = peerInArena(zone_->port(), "Ann", "elim");
    auto bigBob = peerInArena(zone_->port(), "Big Bob", "elim");
    QVERIFY(ann && bigBob);
    STEP(connectThroughDialog());
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Ann", "Big Bob", "Quill"}));

    QListWidget& list = *window().UsrLst;
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {},
                       list.visualItemRect(list.item(1)).center());
    QCOMPARE(window().SendTxt->text(), QStringLiteral("/ Big Bob "));
    typeLine(window(), QStringLiteral("see you: soon"));

    QCOMPARE(bigBob->lineStartingWith("MSG:PRIV:"), QByteArray("MSG:PRIV:Quill:see you: soon"));
    QVERIFY(!receivedLineStartingWith(*ann, "MSG:PRIV:"));
}

void EndToEndTest::arenaChangeFollowsTheZone()
{
    STEP(startZone());
    auto ann = peerInArena(zone_->port(), "Ann", "elim");
    QList<QByteArray> deeArrival;
    auto dee = peerInArena(zone_->port(), "Dee", "duel", &deeArrival);
    QVERIFY(ann && dee);
    STEP(connectThroughDialog());
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Ann", "Quill"}));

    typeLine(window(), QStringLiteral("?go duel"));

    const auto joined = await(QStringLiteral("You have joined arena: duel on freq: 0"));
    QVERIFY(joined);
    QCOMPARE(joined->colour, kFreqColour);
    QCOMPARE(Declares::arenaName, QStringLiteral("duel"));
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Dee", "Quill"}));

    QCOMPARE(ann->lineStartingWith("LEAVING:"), QByteArray("LEAVING:Quill"));
    const QByteArray entering = dee->lineStartingWith("ENTERING:");
    QVERIFY2(entering.startsWith("ENTERING:Quill:"), entering);
    QCOMPARE(wrongPictures(*window().UsrLst, shipsAnnounced(deeArrival << entering)),
             QStringList());
}

// A zone that ends its lines with CR LF: arrivals are listed with their pictures, and a
// departure takes the player it names off the list.
void EndToEndTest::crLfZoneListFollowsArrivalsAndDepartures()
{
    STEP(startZone({"--line-end", "crlf"}));
    auto ann = peerInArena(zone_->port(), "Ann", "elim");
    QVERIFY(ann);
    STEP(connectThroughDialog());
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Ann", "Quill"}));

    QList<QByteArray> bobArrival;
    auto bob = peerInArena(zone_->port(), "Bob", "elim", &bobArrival);
    QVERIFY(bob);
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Ann", "Quill", "Bob"}));
    QCOMPARE(wrongPictures(*window().UsrLst, shipsAnnounced(bobArrival)), QStringList());

    ann.reset();
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Quill", "Bob"}));
    bob->send("GO:duel");
    QTRY_COMPARE(listedNames(*window().UsrLst), (QStringList{"Quill"}));
}

void EndToEndTest::freqChangeThenTeamMessage()
{
    STEP(startZone());
    auto ann = peerInArena(zone_->port(), "Ann", "elim");
    auto bea = peerInArena(zone_->port(), "Bea", "elim");
    QVERIFY(ann && bea);
    QVERIFY(bea->exchange("CHANGEFREQ:1").contains("MSG:ARENA:You are now on freq 1"));
    STEP(connectThroughDialog());

    typeLine(window(), QStringLiteral("=1"));
    const auto moved = await(QStringLiteral("Arena Message: You are now on freq 1"));
    QVERIFY(moved);
    QCOMPARE(moved->colour, kPrivateColour);

    typeLine(window(), QStringLiteral("//on one"));
    QCOMPARE(bea->lineStartingWith("MSG:FREQ:"), QByteArray("MSG:FREQ:Quill:on one"));
    QVERIFY(!receivedLineStartingWith(*ann, "MSG:FREQ:"));

    // And back: the team on freq 1 reaches the user, freq 0 no longer does.
    ann->send("SEND:FREQ:zero team");
    ann->drain();
    bea->send("SEND:FREQ:one team");
    const auto heard = await(QStringLiteral("Bea> one team"));
    QVERIFY(heard);
    QCOMPARE(heard->colour, kFreqColour);
    QVERIFY(!awaitParagraph(window().RecTxt, QStringLiteral("Ann> zero team"), 0));
}

void EndToEndTest::keepAliveHoldsTheSession()
{
    // A zone that drops anyone silent for 2 seconds.
    STEP(startZone({"--idle-timeout", "2"}));
    STEP(connectThroughDialog());
    QTimer& keepAlive = *window().TmrKeepAlive;
    QVERIFY(keepAlive.isActive());
    QCOMPARE(keepAlive.interval(), 60000);

    // Ticks come faster here so the test need not wait minutes; each one is the real
    // timer firing its real handler.
    keepAlive.setInterval(300);
    QSignalSpy ticks(&keepAlive, &QTimer::timeout);
    auto silent = loggedInClient(zone_->port(), "Silent");
    QVERIFY(silent);
    // The silent player is dropped: the zone's limit is real ...
    QVERIFY(silent->waitClosed(8000));
    // ... and the user, connected before it and quiet since, is still there well after.
    const qsizetype ticksAtDrop = ticks.size();
    QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= ticksAtDrop + 8, 8000);
    QVERIFY(Declares::running);

    auto ann = loggedInClient(zone_->port(), "Ann");
    QVERIFY(ann);
    ann->send("SEND:PRIV:Quill:still here?");
    const auto seen = await(QStringLiteral("Ann> still here?"));
    QVERIFY(seen);
    QCOMPARE(seen->colour, kPrivateColour);
}

void EndToEndTest::closingTheWindowEndsTheSession()
{
    STEP(startZone());
    auto ann = peerInArena(zone_->port(), "Ann", "elim");
    QVERIFY(ann);
    STEP(connectThroughDialog());

    // The user closes the window from the window system while the program's loop runs.
    QWindow* native = window().windowHandle();
    QTimer::singleShot(0, native, [native] { native->close(); });
    QCOMPARE(runEventLoop(), 0);

    // The first request only ended the loop; the window is still there and the zone
    // still has the user until the program unloads the windows.
    QVERIFY(!Declares::running);
    QVERIFY(window().isVisible());
    QVERIFY(!receivedLineStartingWith(*ann, "LEAVING:"));

    UnloadAll();
    QVERIFY(!frmMain::ifLoaded());
    QCOMPARE(ann->lineStartingWith("LEAVING:"), QByteArray("LEAVING:Quill"));
}

void EndToEndTest::zoneGoingAwayEndsTheProgram()
{
    STEP(startZone());
    STEP(connectThroughDialog());
    MessageBoxCloser boxes;

    zone_->process().kill();
    QCOMPARE(runEventLoop(), 0);

    QVERIFY(!Declares::running);
    QCOMPARE(boxes.texts(), QStringList()); // the program ends without a word
    UnloadAll();
    QVERIFY(!frmMain::ifLoaded());
}

void EndToEndTest::refusedLoginStaysReadableUntilClosed()
{
    STEP(startZone());
    auto holder = peerInArena(zone_->port(), kUser.toLatin1(), "elim");
    QVERIFY(holder);
    MessageBoxCloser boxes;
    frmConnect& dialog = frmConnect::instance();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Declares::running = true;
    typeIntoBox(dialog.NameTxt, kUser);
    typeIntoBox(dialog.PasswordTxt, QStringLiteral("secret"));
    typeIntoBox(dialog.PortTxt, QString::number(zone_->port()));
    typeIntoBox(dialog.IPTxt, QStringLiteral("127.0.0.1"));
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);

    // The zone refuses the name in use and hangs up; the reason stays on screen.
    const auto refused = await(QStringLiteral("Login bad: The name Quill is already in use"));
    QVERIFY(refused);
    QCOMPARE(refused->colour, QColor(0xDE, 0x31, 0x08));
    QTRY_VERIFY(!window().SendTxt->isEnabled());
    QCOMPARE(runEventLoop(500), -1); // nothing ends the program by itself
    QVERIFY(Declares::running);
    QVERIFY(window().isVisible());
    QCOMPARE(boxes.texts(), QStringList());

    QWindow* native = window().windowHandle();
    QTimer::singleShot(0, native, [native] { native->close(); });
    QCOMPARE(runEventLoop(), 0);
    QVERIFY(!Declares::running);
}

// The robots bring every kind of line a zone sends: each kind in its colour, texts
// whole with their colons, and a visitor who is listed on arrival and gone on leaving.
void EndToEndTest::robotsShowEveryKindOfLine()
{
    STEP(startZone({"--bots", "2", "--bot-interval", "200"}));
    STEP(connectThroughDialog());

    static const QRegularExpression fromRobot(QStringLiteral("^[A-Z][a-z]+Bot> "));
    static const QRegularExpression squad(
        QStringLiteral("^\\((wolves|ravens)\\) [A-Z][a-z]+Bot> "));
    const QColor sysopColour(0xFF, 0x8C, 0x9C);
    const QColor chatColour(0xBD, 0xB5, 0xB5);
    const QColor squadColour(0xB5, 0x84, 0xEF);
    QMap<QString, bool> seen{{"public", false},      {"freq", false},  {"private", false},
                             {"arena", false},       {"sysop", false}, {"chat", false},
                             {"squad", false},       {"colon", false}, {"visitor listed", false},
                             {"visitor gone", false}};
    const bool allSeen = QTest::qWaitFor(
        [&] {
            for (const Paragraph& p : paragraphsOf(window().RecTxt)) {
                if (p.text.contains(fromRobot)) {
                    seen["public"] |= p.colour == kPublicColour;
                    seen["freq"] |= p.colour == kFreqColour;
                    seen["private"] |= p.colour == kPrivateColour;
                    seen["colon"] |= p.text.indexOf(u':') > p.text.indexOf(QStringLiteral("> "));
                } else if (p.text.startsWith(QStringLiteral("Arena Message: "))) {
                    seen["arena"] |= p.colour == kPrivateColour;
                } else if (p.text.startsWith(QStringLiteral("Sysop Message: "))) {
                    seen["sysop"] |= p.colour == sysopColour;
                } else if (p.text.startsWith(QStringLiteral("Chat ")) && p.text.contains(u'>')) {
                    seen["chat"] |= p.colour == chatColour;
                } else if (p.text.contains(squad)) {
                    seen["squad"] |= p.colour == squadColour;
                }
            }
            const bool listed = listedNames(*window().UsrLst).contains(QStringLiteral("DriftBot"));
            seen["visitor gone"] |= seen["visitor listed"] && !listed;
            seen["visitor listed"] |= listed;
            return !seen.values().contains(false);
        },
        30000);
    QStringList missing;
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        if (!it.value())
            missing.append(it.key());
    }
    QVERIFY2(allSeen,
             qPrintable(QStringLiteral("not seen: ") + missing.join(QStringLiteral(", "))));
    // The robots are listed, each with a picture.
    QVERIFY(window().UsrLst->count() >= 3);
    for (int row = 0; row < window().UsrLst->count(); ++row)
        QVERIFY(!window().UsrLst->item(row)->icon().isNull());
}

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
