#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "shell/base/message_box.h"
#include "shell/base/session_state.h"
#include "shell/main_loop.h"
#include "support/window_test.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QtTest>

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
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
