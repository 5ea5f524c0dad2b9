#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "login/settings.h"
#include "login/window_settings.h"
#include "shell/base/message_box.h"
#include "shell/base/session_state.h"
#include "shell/finish_connect.h"
#include "shell/main_loop.h"
#include "support/window_test.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QtTest>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The file without the chat window's own section.
QByteArray withoutChatWindowSection(QByteArray bytes)
{
    const qsizetype start = bytes.indexOf("[OrvexChat]");
    if (start < 0)
        return bytes;
    const qsizetype end = bytes.indexOf('[', start + 1);
    return bytes.remove(start, (end < 0 ? bytes.size() : end) - start);
}

} // namespace

// Start-up, the event loop's end, and the windows' load-on-first-use life.
class TestShell : public WindowTest
{
    Q_OBJECT

private slots:
    void mainShowsTheDialogAndEndsWhenTheFlagIsCleared()
    {
        bool dialogWasVisible = false;
        QTimer::singleShot(0, [&] {
            dialogWasVisible = frmConnect::ifLoaded() && frmConnect::ifLoaded()->isVisible();
            QVERIFY(Declares::running);
            frmConnect::instance().Command2_Click();
        });
        QCOMPARE(Main(), 0);
        QVERIFY(dialogWasVisible);
        QVERIFY(!Declares::running);
        QVERIFY(!frmConnect::ifLoaded());
        QVERIFY(!frmMain::ifLoaded());
    }

    // The flag cleared while a message box waits for the user still ends the program at
    // once, without the user closing the box.
    void loopEndsFromInsideAModalMessageBox()
    {
        bool boxReturned = false;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(50, [] {
                QVERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
                Declares::clearRunning();
            });
            showMessage(QStringLiteral("waiting"));
            boxReturned = true;
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Main(), 0);
        QVERIFY(boxReturned);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closingTheDialogByTheWindowSystemEndsTheProgram()
    {
        QTimer::singleShot(0, [] { frmConnect::instance().close(); });
        QCOMPARE(Main(), 0);
        QVERIFY(!Declares::running);
        QVERIFY(!frmConnect::ifLoaded());
    }

    void chatWindowLoadsHiddenOnFirstUseAndAfreshAfterUnload()
    {
        QVERIFY(!frmMain::ifLoaded());
        frmMain& first = frmMain::instance();
        QCOMPARE(frmMain::ifLoaded(), &first);
        QVERIFY(!first.isVisible());
        QCOMPARE(first.windowTitle(), QStringLiteral("My Orvex Client By Quibbert V 1.0.0"));
        QVERIFY(!first.TmrKeepAlive->isActive());
        QCOMPARE(&frmMain::instance(), &first); // a second use finds the same window

        QPointer<frmMain> watch(&first);
        frmMain::unload();
        QVERIFY(watch.isNull());
        QVERIFY(!frmMain::ifLoaded());
        frmMain::unload(); // unloading what is not loaded does nothing

        frmMain& second = frmMain::instance();
        QCOMPARE(second.windowTitle(), QStringLiteral("My Orvex Client By Quibbert V 1.0.0"));
        QVERIFY(second.receiveFramer().pending().isEmpty());
    }

    // The first close request of the chat window only clears the flag; the unload at
    // the end of the loop then goes through.
    void chatWindowCloseRequestEndsTheLoop()
    {
        QTimer::singleShot(0, [] {
            frmConnect::unload();
            frmMain& window = frmMain::instance();
            window.show();
            QVERIFY(!window.close());
            QVERIFY(!Declares::running);
            QVERIFY(window.isVisible());
        });
        QCOMPARE(Main(), 0);
        QVERIFY(!frmMain::ifLoaded());
    }

    // The chat window opens as Game.ini says it was left; what the user changes is kept
    // whatever ends the session, and the rest of the file stays as it was.
    void chatWindowChoicesKeptFromOneRunToTheNext_data()
    {
        QTest::addColumn<bool>("byCloseButton");
        QTest::newRow("the window's close button") << true;
        QTest::newRow("the session ending") << false;
    }

    void chatWindowChoicesKeptFromOneRunToTheNext()
    {
        QFETCH(bool, byCloseButton);
        writeBytes(settingsPath(), "[OrvexChat]\r\nWindowWidth=700\r\nWindowHeight=500\r\n"
                                   "Maximized=0\r\nTextSize=122\r\n[Other]\r\nkey=1\r\n");
        QByteArray beforeClose;
        QTimer::singleShot(0, [&] {
            FinishConnect();
            frmMain& window = frmMain::instance();
            QCOMPARE(window.size(), QSize(700, 500));
            QCOMPARE(window.textSize(), 122);
            beforeClose = readBytes(settingsPath());
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::keyClick(window.windowHandle(), Qt::Key_Plus, Qt::ControlModifier);
            window.resize(760, 540);
            if (byCloseButton)
                window.close();
            else
                window.Socket1_Close();
        });
        QCOMPARE(Main(), 0);
        QCOMPARE(ReadChatWindowChoices(), (ChatWindowChoices{760, 540, false, 135}));
        QCOMPARE(withoutChatWindowSection(readBytes(settingsPath())),
                 withoutChatWindowSection(beforeClose));
    }

    // Nothing changed, nothing written: a value the window could not use stays as it is.
    void unchangedChoicesAreNotWritten()
    {
        writeBytes(settingsPath(), "[OrvexChat]\r\nWindowWidth=wide\r\nTextSize=200\r\n");
        QByteArray beforeClose;
        QTimer::singleShot(0, [&] {
            FinishConnect();
            frmMain& window = frmMain::instance();
            QCOMPARE(window.size(), QSize(800, 556));
            QCOMPARE(window.textSize(), 200);
            beforeClose = readBytes(settingsPath());
            window.close();
        });
        QCOMPARE(Main(), 0);
        QVERIFY(beforeClose.contains("WindowWidth=wide"));
        QCOMPARE(readBytes(settingsPath()), beforeClose);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
