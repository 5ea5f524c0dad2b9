#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "login/frm_connect.h"
#include "session/send_line.h"
#include "session/socket_component.h"
#include "shell/base/message_box.h"
#include "shell/base/session_state.h"
#include "support/loopback_server.h"
#include "support/window_test.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QWindow>

#include <memory>

// The chat window's keyboard as a user drives it: keys go to the window's native window,
// and what the command line sends is read at a real server on 127.0.0.1.
class ChatKeysTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedLinesAreSent_data();
    void typedLinesAreSent();
    void everyEnterEmptiesTheBox_data();
    void everyEnterEmptiesTheBox();
    void privateMessageUsesListedNames();
    void upAndDownRecallEnteredLines();
    void tabCompletesNamesOrMovesTheFocus();
    void heldEnterSendsOnce();
    void enterClosingMessageBoxDoesNotSend();
    void typingFilter();
    void composedCharactersAreFiltered();
    void pasteIsNotFiltered();
    void captionIsSetOnce();
    void closeRequests();
    void typingElsewhereMovesFocus_data();
    void typingElsewhereMovesFocus();
    void otherKeysKeepFocus_data();
    void otherKeysKeepFocus();
    void copyFromTranscript();
    void copyInEntryBoxTakesTranscriptSelection();
    void transcriptChangeMovesFocus();
    void keyboardFocusStaysWhenLinesArrive();

private:
    frmMain& window() { return frmMain::instance(); }
    QWindow* native() { return window().windowHandle(); }
    void type(const QString& text);
    void enter(Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Sends a marker line after the lines under test and checks that exactly `expected`
    // came before it: proves that nothing else was sent.
    void expectSentExactly(const QByteArray& expected);

    std::unique_ptr<LoopbackServer> server_;
};

void ChatKeysTest::init()
{
    WindowTest::init();
    Declares::running = true;

    server_ = std::make_unique<LoopbackServer>();
    QVERIFY(server_->isListening());
    frmMain& w = window();
    w.Socket1->setRemoteHost(QStringLiteral("127.0.0.1"));
    w.Socket1->setRemotePort(server_->port());
    w.Socket1->connectToServer();
    QVERIFY(server_->waitForClient());
    QVERIFY(server_->waitForText("LOGIN:"));
    server_->clearReceived();

    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(native());
    w.SendTxt->setFocus();
    QTRY_VERIFY(w.SendTxt->hasFocus());
}

void ChatKeysTest::cleanup()
{
    WindowTest::cleanup();
    server_.reset();
}

void ChatKeysTest::type(const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(native(), c.toLatin1());
}

void ChatKeysTest::enter(Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(native(), Qt::Key_Return, modifiers);
}

void ChatKeysTest::expectSentExactly(const QByteArray& expected)
{
    TCP::SendLine(*window().Socket1, QStringLiteral("MARK"));
    QVERIFY(server_->waitForText("MARK\n"));
    QCOMPARE(server_->received(), expected + "MARK\n");
}

void ChatKeysTest::typedLinesAreSent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("public") << "hi all: 1" << 0 << QByteArray("SEND:PUB:hi all: 1\n");
    QTest::newRow("team") << "//ready" << 0 << QByteArray("SEND:FREQ:ready\n");
    QTest::newRow("private") << "/bob psst" << 0 << QByteArray("SEND:PRIV:bob:psst\n");
    QTest::newRow("freq") << "=2" << 0 << QByteArray("CHANGEFREQ:2\n");
    QTest::newRow("arena") << "?GO duel" << 0 << QByteArray("GO:duel\n");
    QTest::newRow("mixed-case arena is public")
        << "?Go duel" << 0 << QByteArray("SEND:PUB:?Go duel\n");
    QTest::newRow("three blanks") << "   " << 0 << QByteArray("SEND:PUB:   \n");
    QTest::newRow("shift+enter") << "x" << int(Qt::ShiftModifier) << QByteArray("SEND:PUB:x\n");
    QTest::newRow("ctrl+enter") << "x" << int(Qt::ControlModifier) << QByteArray("SEND:PUB:x\n");
    QTest::newRow("alt+enter") << "x" << int(Qt::AltModifier) << QByteArray("SEND:PUB:x\n");
}

void ChatKeysTest::typedLinesAreSent()
{
    QFETCH(QString, typed);
    QFETCH(int, modifiers);
    QFETCH(QByteArray, sent);

    type(typed);
    QCOMPARE(window().SendTxt->text(), typed);
    QCOMPARE(Declares::typedLine, typed);
    enter(Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window().SendTxt->text(), QString());
    QCOMPARE(Declares::typedLine, QString());
    expectSentExactly(sent);
}

void ChatKeysTest::everyEnterEmptiesTheBox_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("sent");

    QTest::newRow("empty") << 0 << false;
    QTest::newRow("longest public") << 290 << true;
    QTest::newRow("one too long") << 291 << false;
}

void ChatKeysTest::everyEnterEmptiesTheBox()
{
    QFETCH(int, length);
    QFETCH(bool, sent);

    // Set as a paste or the user list would: the typed line follows any change of the box.
    const QString line(length, u'x');
    window().SendTxt->setText(line);
    QCOMPARE(Declares::typedLine, line);
    QTest::keyClick(native(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(window().SendTxt->text(), QString());
    QCOMPARE(Declares::typedLine, QString());
    expectSentExactly(sent ? "SEND:PUB:" + line.toLatin1() + '\n' : QByteArray());
}

void ChatKeysTest::privateMessageUsesListedNames()
{
    window().addUser(QStringLiteral("Big"), 1);
    window().addUser(QStringLiteral("Big Bob"), 1);
    type(QStringLiteral("/ Big Bob hi: there"));
    enter();
    window().UsrLst->clear();
    type(QStringLiteral("/ Big Bob hi"));
    enter();
    expectSentExactly("SEND:PRIV:Big Bob:hi: there\nSEND:PRIV:Big:Bob hi\n");
}

void ChatKeysTest::upAndDownRecallEnteredLines()
{
    SendTextBox& box = *window().SendTxt;
    const QString tooLong = QStringLiteral("hello ") + QString(285, u'x');
    type(QStringLiteral("first"));
    enter();
    box.setText(tooLong);
    enter();
    expectSentExactly("SEND:PUB:first\n"); // the long line did not go out
    server_->clearReceived();

    type(QStringLiteral("draft"));
    QTest::keyClick(native(), Qt::Key_Up);
    QCOMPARE(box.text(), tooLong);
    QCOMPARE(Declares::typedLine, tooLong);
    QCOMPARE(box.cursorPosition(), tooLong.size());
    QTest::keyClick(native(), Qt::Key_Up);
    QCOMPARE(box.text(), QStringLiteral("first"));
    QTest::keyClick(native(), Qt::Key_Up); // the oldest stays
    QCOMPARE(box.text(), QStringLiteral("first"));
    QTest::keyClick(native(), Qt::Key_Down);
    QTest::keyClick(native(), Qt::Key_Down);
    QCOMPARE(box.text(), QStringLiteral("draft"));
    QCOMPARE(Declares::typedLine, QStringLiteral("draft"));

    // The long line recalled and shortened keeps its edit past Up and Down, and is sent.
    box.clear();
    QTest::keyClick(native(), Qt::Key_Up);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(native(), Qt::Key_Backspace);
    QTest::keyClick(native(), Qt::Key_Up);
    QTest::keyClick(native(), Qt::Key_Down);
    QCOMPARE(box.text(), tooLong.left(tooLong.size() - 10));
    enter();
    expectSentExactly("SEND:PUB:" + tooLong.left(tooLong.size() - 10).toLatin1() + '\n');
}

void ChatKeysTest::tabCompletesNamesOrMovesTheFocus()
{
    SendTextBox& box = *window().SendTxt;
    window().addUser(QStringLiteral("xX_Dark"), 1);
    window().addUser(QStringLiteral("xX_Dark Pilot_Xx"), 1);
    type(QStringLiteral("XX"));
    QTest::keyClick(native(), Qt::Key_Tab);
    QCOMPARE(box.text(), QStringLiteral("/ xX_Dark "));
    QTest::keyClick(native(), Qt::Key_Tab);
    QCOMPARE(box.text(), QStringLiteral("/ xX_Dark Pilot_Xx "));
    QCOMPARE(Declares::typedLine, box.text());
    QVERIFY(box.hasFocus());
    type(QStringLiteral("gg"));
    enter();
    expectSentExactly("SEND:PRIV:xX_Dark Pilot_Xx:gg\n");

    // Nothing to complete: Tab walks the window, Shift+Tab comes back.
    type(QStringLiteral("zz"));
    QTest::keyClick(native(), Qt::Key_Tab);
    QTRY_VERIFY(window().RecTxt->hasFocus());
    QTest::keyClick(native(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTRY_VERIFY(box.hasFocus());
    QCOMPARE(box.text(), QStringLiteral("zz"));
}

void ChatKeysTest::heldEnterSendsOnce()
{
    type(QStringLiteral("once"));
    // Holding the key: one press, then repeated release/press pairs, then the release.
    auto send = [this](QEvent::Type type, bool autoRepeat) {
        QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), autoRepeat);
        QCoreApplication::sendEvent(native(), &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 5; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    QCOMPARE(window().SendTxt->text(), QStringLiteral("once"));
    send(QEvent::KeyRelease, false);
    QCOMPARE(window().SendTxt->text(), QString());
    expectSentExactly("SEND:PUB:once\n");
}

void ChatKeysTest::enterClosingMessageBoxDoesNotSend()
{
    type(QStringLiteral("keep"));
    // Enter goes down in the box; before it comes up a message box opens, takes the
    // keyboard and is closed by a second Enter whose release lands in the box.
    QTest::keyPress(native(), Qt::Key_Return);
    QTimer closer;
    QStringList shown;
    connect(&closer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->windowHandle() || !box->windowHandle()->isActive())
            return;
        closer.stop();
        shown.append(box->text());
        QTest::keyPress(box->windowHandle(), Qt::Key_Return);
    });
    closer.start(10);
    showMessage(QStringLiteral("Something happened."), &window());
    QCOMPARE(shown, QStringList{QStringLiteral("Something happened.")});
    // A window manager hands the keyboard back to the chat window; offscreen, the test does.
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QVERIFY(window().SendTxt->hasFocus());
    QTest::keyRelease(native(), Qt::Key_Return);

    QCOMPARE(window().SendTxt->text(), QStringLiteral("keep"));
    QCOMPARE(Declares::typedLine, QStringLiteral("keep"));
    enter();
    expectSentExactly("SEND:PUB:keep\n");
}

void ChatKeysTest::typingFilter()
{
    SendTextBox* box = window().SendTxt;
    type(QStringLiteral("ab"));
    // A character outside the typable range, as a key of a national layout would give it.
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
    QCoreApplication::sendEvent(native(), &accented);
    QKeyEvent alted(QEvent::KeyPress, Qt::Key_Eacute, Qt::AltModifier, QString(QChar(0xe9)));
    QCoreApplication::sendEvent(native(), &alted);
    QKeyEvent control(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\x01"));
    QCoreApplication::sendEvent(native(), &control);
    QCOMPARE(box->text(), QStringLiteral("ab"));

    // Backspace, Delete, navigation and editing shortcuts still work.
    QTest::keyClick(native(), Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("a"));
    type(QStringLiteral("bc"));
    QTest::keyClick(native(), Qt::Key_Home);
    QTest::keyClick(native(), Qt::Key_Delete);
    QCOMPARE(box->text(), QStringLiteral("bc"));
    QTest::keyClick(native(), Qt::Key_End);
    type(QStringLiteral("~ "));
    QCOMPARE(box->text(), QStringLiteral("bc~ "));
    QTest::keyClick(native(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box->selectedText(), QStringLiteral("bc~ "));
    QTest::keyClick(native(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("bc~ "));
    QTest::keyClick(native(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("bc~ "));
    QCOMPARE(Declares::typedLine, QStringLiteral("bc~ "));
}

void ChatKeysTest::composedCharactersAreFiltered()
{
    SendTextBox* box = window().SendTxt;
    auto commit = [box](const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(box, &event);
    };
    commit(QString(QChar(0xe9))); // a dead key followed by e
    QCOMPARE(box->text(), QString());
    commit(QStringLiteral("~")); // a dead tilde followed by a blank
    commit(QStringLiteral("a") + QChar(0x20ac) + QStringLiteral("b"));
    QCOMPARE(box->text(), QStringLiteral("~ab"));
    QCOMPARE(Declares::typedLine, QStringLiteral("~ab"));

    // The preedit of an unfinished sequence stays on show; only its commit is filtered.
    QInputMethodEvent preedit(QStringLiteral("^"), {});
    QCoreApplication::sendEvent(box, &preedit);
    QCOMPARE(box->text(), QStringLiteral("~ab"));
    commit(QString(QChar(0xea)));
    QCOMPARE(box->text(), QStringLiteral("~ab"));
}

void ChatKeysTest::pasteIsNotFiltered()
{
    const QString pasted = QStringLiteral("caf") + QChar(0xe9) + QChar(0x20ac) + QChar(0x3a9) +
                           QStringLiteral(":x\ny");
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(native(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window().SendTxt->text(), pasted);
    QGuiApplication::clipboard()->setText(QStringLiteral("!"));
    QTest::keyClick(native(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Declares::typedLine, pasted + u'!');
    enter();
    // What Windows-1252 cannot hold (the Greek omega) goes out as "?";
    // a pasted line break travels as a blank, inside the one line.
    expectSentExactly("SEND:PUB:caf\xe9\x80?:x y!\n");
}

void ChatKeysTest::captionIsSetOnce()
{
    const QString caption = QStringLiteral("My Orvex Client By Quibbert V 1.0.0");
    QCOMPARE(window().windowTitle(), caption);
    // Later uses find the loaded window and do not extend the caption again.
    window().hide();
    window().show();
    QCOMPARE(frmMain::instance().windowTitle(), caption);
}

void ChatKeysTest::closeRequests()
{
    // The first request, from the windowing system, only ends the run.
    native()->close();
    QVERIFY(window().isVisible());
    QVERIFY(!Declares::running);
    // Once the run is ending, a request closes the window.
    QVERIFY(window().close());
    QVERIFY(!window().isVisible());
    expectSentExactly({});
}

void ChatKeysTest::typingElsewhereMovesFocus_data()
{
    QTest::addColumn<bool>("fromList");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("boxAfter");

    QTest::newRow("letter in transcript") << false << int(Qt::Key_Q) << "abq";
    QTest::newRow("digit in list") << true << int(Qt::Key_7) << "ab7";
    QTest::newRow("blank in transcript") << false << int(Qt::Key_Space) << "ab ";
    QTest::newRow("tilde in list") << true << int(Qt::Key_AsciiTilde) << "ab~";
    QTest::newRow("backspace in list") << true << int(Qt::Key_Backspace) << "a";
    QTest::newRow("backspace in transcript") << false << int(Qt::Key_Backspace) << "a";
}

void ChatKeysTest::typingElsewhereMovesFocus()
{
    QFETCH(bool, fromList);
    QFETCH(int, key);
    QFETCH(QString, boxAfter);

    frmMain& w = window();
    w.addUser(QStringLiteral("bob"), 1);
    type(QStringLiteral("ab"));
    QWidget* elsewhere = fromList ? static_cast<QWidget*>(w.UsrLst) : w.RecTxt;
    elsewhere->setFocus();
    QTRY_VERIFY(elsewhere->hasFocus());

    QTest::keyClick(native(), Qt::Key(key));
    QVERIFY(w.SendTxt->hasFocus());
    // The key is not lost on the way: it lands in the box as if typed there.
    QCOMPARE(w.SendTxt->text(), boxAfter);
    QCOMPARE(Declares::typedLine, boxAfter);
}

void ChatKeysTest::otherKeysKeepFocus_data()
{
    QTest::addColumn<bool>("fromList");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("enter in transcript") << false << int(Qt::Key_Return) << 0;
    QTest::newRow("enter in list") << true << int(Qt::Key_Return) << 0;
    QTest::newRow("down in list") << true << int(Qt::Key_Down) << 0;
    QTest::newRow("left in transcript") << false << int(Qt::Key_Left) << 0;
    QTest::newRow("F1 in transcript") << false << int(Qt::Key_F1) << 0;
    QTest::newRow("F5 in list") << true << int(Qt::Key_F5) << 0;
    QTest::newRow("ctrl+c in transcript") << false << int(Qt::Key_C) << int(Qt::ControlModifier);
    QTest::newRow("ctrl+a in list") << true << int(Qt::Key_A) << int(Qt::ControlModifier);
    QTest::newRow("escape in transcript") << false << int(Qt::Key_Escape) << 0;
}

void ChatKeysTest::otherKeysKeepFocus()
{
    QFETCH(bool, fromList);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    frmMain& w = window();
    w.addUser(QStringLiteral("bob"), 1);
    w.addUser(QStringLiteral("ann"), 1);
    QWidget* elsewhere = fromList ? static_cast<QWidget*>(w.UsrLst) : w.RecTxt;
    elsewhere->setFocus();
    QTRY_VERIFY(elsewhere->hasFocus());

    QTest::keyClick(native(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(elsewhere->hasFocus());
    QCOMPARE(w.SendTxt->text(), QString());
    expectSentExactly({});
}

void ChatKeysTest::copyFromTranscript()
{
    frmMain& w = window();
    w.appendLine(QStringLiteral("worth keeping"), 255, 255, 255, 0, 0);
    w.RecTxt->setFocus();
    QTRY_VERIFY(w.RecTxt->hasFocus());
    w.RecTxt->selectAll();
    QGuiApplication::clipboard()->clear();

    QTest::keyClick(native(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(w.RecTxt->hasFocus());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\nworth keeping"));
}

// Arriving lines keep the focus in the entry box: Ctrl+C there, with nothing selected in
// the box, copies what the reader selected in the transcript.
void ChatKeysTest::copyInEntryBoxTakesTranscriptSelection()
{
    frmMain& w = window();
    w.appendLine(QStringLiteral("worth keeping"), 255, 255, 255, 0, 0);
    w.RecTxt->selectAll();
    type(QStringLiteral("abc"));
    for (const Qt::Key key : {Qt::Key_C, Qt::Key_Insert}) {
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(native(), key, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\nworth keeping"));
    }
    w.SendTxt->setSelection(1, 2);
    QTest::keyClick(native(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("bc"));
    QCOMPARE(w.SendTxt->text(), QStringLiteral("abc"));
    expectSentExactly({});
}

void ChatKeysTest::transcriptChangeMovesFocus()
{
    frmMain& w = window();
    w.UsrLst->setFocus();
    QTRY_VERIFY(w.UsrLst->hasFocus());
    w.appendLine(QStringLiteral("a line"), 255, 255, 255, 0, 0);
    QVERIFY(w.SendTxt->hasFocus());

    w.RecTxt->setFocus();
    QTRY_VERIFY(w.RecTxt->hasFocus());
    w.appendLine(QStringLiteral("another"), 255, 255, 255, 0, 0);
    QVERIFY(w.SendTxt->hasFocus());
}

// A keyboard user on a busy zone: the lines that arrive between their keys leave the
// focus where Tab and Shift+Tab put it, and a private message is started from the list.
void ChatKeysTest::keyboardFocusStaysWhenLinesArrive()
{
    frmMain& w = window();
    w.addUser(QStringLiteral("ann"), 1);
    w.addUser(QStringLiteral("bob"), 1);
    const auto lineArrives = [&w] { w.appendLine(QStringLiteral("busy"), 255, 255, 255, 0, 0); };

    QTest::keyClick(native(), Qt::Key_Tab);
    QVERIFY(w.RecTxt->hasFocus());
    lineArrives();
    QVERIFY(w.RecTxt->hasFocus());
    QTest::keyClick(native(), Qt::Key_Tab);
    QVERIFY(w.UsrLst->hasFocus());
    lineArrives();
    QTest::keyClick(native(), Qt::Key_Down);
    lineArrives();
    QVERIFY(w.UsrLst->hasFocus());
    QTest::keyClick(native(), Qt::Key_Return);
    QVERIFY(w.SendTxt->hasFocus());
    QCOMPARE(w.SendTxt->text(), QStringLiteral("/ bob "));
    lineArrives();
    type(QStringLiteral("hi"));
    enter();
    expectSentExactly("SEND:PRIV:bob:hi\n");

    // Shift+Tab is the keyboard too; a click is not, and the next line brings it back.
    QTest::keyClick(native(), Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(w.UsrLst->hasFocus());
    lineArrives();
    QVERIFY(w.UsrLst->hasFocus());
    QTest::mouseClick(w.RecTxt->viewport(), Qt::LeftButton);
    QVERIFY(w.RecTxt->hasFocus());
    lineArrives();
    QVERIFY(w.SendTxt->hasFocus());
}

QTEST_MAIN(ChatKeysTest)
#include "tst_chat_keys.moc"
