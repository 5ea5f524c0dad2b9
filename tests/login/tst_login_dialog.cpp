// The connect dialog driven as a user drives it, and the connection's life behind it:
// real widgets on the offscreen platform, a real server on 127.0.0.1, real Game.ini files.

#include "chatwindow/frm_main.h"
#include "login/frm_connect.h"
#include "session/socket_component.h"
#include "shell/base/message_box.h"
#include "shell/base/session_state.h"
#include "support/loopback_server.h"
#include "support/message_box_closer.h"
#include "support/window_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

const QString kRefused =
    QStringLiteral("The server seems to be down or unreachable. Please try again.");

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Presses a key as the user does: through the window, to whatever has the focus.
void press(QWidget* window, Qt::Key key)
{
    QTest::keyClick(window->windowHandle(), key);
}

} // namespace

class TestLoginDialog : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void loadsDesignTextsWithoutSettingsFile();
    void loadsSettingsFile();
    void layoutAndFocus();
    void enterAndEscPressNothing();

    void validationFailureShowsOneMessage_data();
    void validationFailureShowsOneMessage();
    void successfulConnectSendsLoginAndHandsOver_data();
    void successfulConnectSendsLoginAndHandsOver();
    void savedPasswordStaysThroughConnect();
    void refusedConnectionRearmsDialog();
    void secondConnectWhileWaitingDoesNothing();
    void otherErrorShowsItsDescription();
    void unusablePortIsNamedAsTyped_data();
    void unusablePortIsNamedAsTyped();

    void cancelSavesBoxesAndEnds_data();
    void cancelSavesBoxesAndEnds();
    void cancelDuringAttemptEnds();
    void serverCloseEndsProgram();
    void serverCloseEndsProgramUnderMessageBox();

private:
    frmConnect& showDialog();
    void fillBoxes(frmConnect& dialog, quint16 port);
    QString iniPath() const { return settingsPath(); }
    void connectAndWait(LoopbackServer& server);
};

void TestLoginDialog::init()
{
    WindowTest::init();
    Declares::running = true;
}

frmConnect& TestLoginDialog::showDialog()
{
    frmConnect& dialog = frmConnect::instance();
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        qWarning("connect dialog not exposed");
    return dialog;
}

void TestLoginDialog::fillBoxes(frmConnect& dialog, quint16 port)
{
    typeInto(dialog.NameTxt, QStringLiteral("Bob Smith"));
    typeInto(dialog.PasswordTxt, QStringLiteral("s3cret"));
    typeInto(dialog.ArenaTxt, QStringLiteral("duel"));
    typeInto(dialog.IPTxt, QStringLiteral("127.0.0.1"));
    typeInto(dialog.PortTxt, QString::number(port));
}

void TestLoginDialog::connectAndWait(LoopbackServer& server)
{
    frmConnect& dialog = showDialog();
    fillBoxes(dialog, static_cast<quint16>(server.port()));
    click(dialog.Command1);
    QVERIFY(server.waitForText("LOGIN:"));
    QTRY_VERIFY(frmConnect::ifLoaded() == nullptr);
}

void TestLoginDialog::loadsDesignTextsWithoutSettingsFile()
{
    frmConnect& dialog = frmConnect::instance();
    QCOMPARE(Declares::AppDir, programFolderPath() + u'/');
    QCOMPARE(dialog.NameTxt->text(), QStringLiteral("Username"));
    QCOMPARE(dialog.PasswordTxt->text(), QStringLiteral("password"));
    QCOMPARE(dialog.PasswordTxt->displayText(), QStringLiteral("********"));
    QCOMPARE(dialog.ArenaTxt->text(), QStringLiteral("elim"));
    QCOMPARE(dialog.PortTxt->text(), QStringLiteral("7706"));
    QCOMPARE(dialog.IPTxt->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(dialog.MainLbl->text(), QStringLiteral("Connect to Orvex Chat vX.X"));
    QCOMPARE(dialog.ProtocalLbl->text(), QStringLiteral("Protocol vX.X"));
    QCOMPARE(dialog.Label6->text(), QStringLiteral("127.0.0.1:7706 = Local zone"));
    QCOMPARE(dialog.Label7->text(), QStringLiteral("127.0.0.1:5000 = orvex test zone"));
    QVERIFY(!dialog.SavePassChk->isChecked());
    // Loading reads; it never writes.
    QVERIFY(!QFile::exists(iniPath()));
}

void TestLoginDialog::loadsSettingsFile()
{
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[INIT]\r\nName=Alice\r\n");
    }
    frmConnect& dialog = frmConnect::instance();
    QCOMPARE(dialog.NameTxt->text(), QStringLiteral("Alice"));
    QCOMPARE(dialog.PasswordTxt->text(), QString());
    QCOMPARE(dialog.ArenaTxt->text(), QString());
    QCOMPARE(dialog.IPTxt->text(), QString());
    QCOMPARE(dialog.PortTxt->text(), QString());
    QVERIFY(!dialog.SavePassChk->isChecked());
    QCOMPARE(dialog.MainLbl->text(), QStringLiteral("Connect to Orvex Chat v1.0.0"));
    QCOMPARE(dialog.ProtocalLbl->text(), QStringLiteral("Protocol v1"));
    frmConnect::unload();

    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[INIT]\r\nName=Alice\r\nPassword=pw\r\nArena=duel\r\nServerIP=zone.example\r\n"
                   "Port= 5000\r\n");
    }
    frmConnect& again = frmConnect::instance();
    QCOMPARE(again.PasswordTxt->text(), QStringLiteral("pw"));
    QVERIFY(again.SavePassChk->isChecked());
    QCOMPARE(again.ArenaTxt->text(), QStringLiteral("duel"));
    QCOMPARE(again.IPTxt->text(), QStringLiteral("zone.example"));
    QCOMPARE(again.PortTxt->text(), QStringLiteral("5000"));
}

void TestLoginDialog::layoutAndFocus()
{
    frmConnect& dialog = showDialog();
    QCOMPARE(dialog.size(), QSize(275, 339));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.windowType(), Qt::Dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Connect to Server"));
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
    const QRect screen = dialog.screen()->availableGeometry();
    QVERIFY(qAbs(dialog.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(dialog.geometry().center().y() - screen.center().y()) <= 1);

    // Every control lies inside the window, and none covers a box or button.
    const QList<QWidget*> controls = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 18);
    for (QWidget* control : controls)
        QVERIFY2(dialog.rect().contains(control->geometry()), qPrintable(control->objectName()));
    const QList<QWidget*> inputs = {dialog.NameTxt,  dialog.PasswordTxt, dialog.ArenaTxt,
                                    dialog.PortTxt,  dialog.IPTxt,       dialog.SavePassChk,
                                    dialog.Command1, dialog.Command2};
    for (QWidget* input : inputs) {
        for (QWidget* other : controls) {
            if (other != input)
                QVERIFY2(!other->geometry().intersects(input->geometry()),
                         qPrintable(other->objectName() + u'/' + input->objectName()));
        }
    }

    QTRY_COMPARE(QApplication::focusWidget(), dialog.NameTxt);
    const QList<QWidget*> tabOrder = {dialog.PasswordTxt, dialog.Command1, dialog.Command2,
                                      dialog.SavePassChk, dialog.PortTxt,  dialog.IPTxt,
                                      dialog.ArenaTxt,    dialog.NameTxt};
    for (QWidget* next : tabOrder) {
        press(&dialog, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next->objectName());
    }
}

void TestLoginDialog::enterAndEscPressNothing()
{
    MessageBoxCloser closer;
    frmConnect& dialog = showDialog();
    // Connect pressed now would say so in a message box.
    dialog.IPTxt->clear();
    const QList<QWidget*> focusable = {dialog.NameTxt,  dialog.PasswordTxt, dialog.ArenaTxt,
                                       dialog.PortTxt,  dialog.IPTxt,       dialog.SavePassChk,
                                       dialog.Command1, dialog.Command2};
    for (QWidget* target : focusable) {
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            press(&dialog, key);
    }
    QCoreApplication::processEvents();
    QCOMPARE(closer.texts(), QStringList());
    QVERIFY(Declares::running);
    QVERIFY(dialog.isVisible());
    QVERIFY(!QFile::exists(iniPath()));

    // The space bar on the focused button does press it.
    dialog.Command1->setFocus();
    press(&dialog, Qt::Key_Space);
    QTRY_COMPARE(closer.texts(), QStringList{QStringLiteral("Server IP box is empty.")});
}

void TestLoginDialog::validationFailureShowsOneMessage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << ""
                               << "Server IP box is empty.";
    QTest::newRow("port") << "Bob"
                          << "pw"
                          << "127.0.0.1"
                          << ""
                          << "Port box is empty.";
    QTest::newRow("password empty") << "Bob"
                                    << ""
                                    << "h"
                                    << "1"
                                    << "Password box is empty.";
    QTest::newRow("password long") << "Bob"
                                   << "01234567890"
                                   << "h"
                                   << "1"
                                   << "Password must be 10 characters or less.";
    QTest::newRow("password char") << "B|b"
                                   << "a:b"
                                   << "h"
                                   << "1"
                                   << "Invalid Password.";
    QTest::newRow("name empty") << ""
                                << "pw"
                                << "h"
                                << "1"
                                << "Name box is empty.";
    QTest::newRow("name long") << QString(31, u'n') << "pw"
                               << "h"
                               << "1"
                               << "Name must be 30 characters or less.";
    QTest::newRow("name char") << QStringLiteral("Bob?") << "pw"
                               << "h"
                               << "1"
                               << "Invalid Name.";
}

void TestLoginDialog::validationFailureShowsOneMessage()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, server);
    QFETCH(QString, port);
    QFETCH(QString, expected);
    MessageBoxCloser closer;
    frmConnect& dialog = showDialog();
    typeInto(dialog.NameTxt, name);
    typeInto(dialog.PasswordTxt, password);
    typeInto(dialog.IPTxt, server);
    typeInto(dialog.PortTxt, port);
    click(dialog.Command1);
    QCOMPARE(closer.texts(), QStringList{expected});
    QCOMPARE(closer.titles(), QStringList{QStringLiteral("Orvex Chat")});
    // The boxes were copied; nothing else happened.
    QCOMPARE(Declares::userName, name);
    QCOMPARE(Declares::password, password);
    QVERIFY(dialog.mousePointer() != Qt::WaitCursor);
    QVERIFY(frmMain::ifLoaded() == nullptr);
    QVERIFY(!QFile::exists(iniPath()));
}

void TestLoginDialog::successfulConnectSendsLoginAndHandsOver_data()
{
    QTest::addColumn<bool>("keepPassword");
    QTest::newRow("password not kept") << false;
    QTest::newRow("password kept") << true;
}

void TestLoginDialog::successfulConnectSendsLoginAndHandsOver()
{
    QFETCH(bool, keepPassword);
    LoopbackServer server;
    QVERIFY(server.isListening());
    frmConnect& dialog = showDialog();
    // The longest name and password the checks let through.
    const QString name = QStringLiteral("N") + QString(28, u'x') + QStringLiteral("N");
    const QString password = QStringLiteral("P~!@#$%^&P");
    typeInto(dialog.NameTxt, name);
    typeInto(dialog.PasswordTxt, password);
    typeInto(dialog.ArenaTxt, QStringLiteral("duel"));
    typeInto(dialog.IPTxt, QStringLiteral("127.0.0.1"));
    typeInto(dialog.PortTxt, QStringLiteral(" %1.4 ").arg(server.port()));
    if (keepPassword)
        click(dialog.SavePassChk);
    QCOMPARE(dialog.SavePassChk->isChecked(), keepPassword);
    click(dialog.Command1);

    // Waiting: hourglass, chat window loaded but hidden, no keep-alive yet.
    QCOMPARE(dialog.mousePointer(), Qt::WaitCursor);
    QCOMPARE(Declares::port, server.port());
    QVERIFY(frmMain::ifLoaded() != nullptr);
    QVERIFY(!frmMain::ifLoaded()->isVisible());
    QVERIFY(!frmMain::ifLoaded()->TmrKeepAlive->isActive());

    const QByteArray login = "LOGIN:1:" + name.toLatin1() + ':' + password.toLatin1() + '\n';
    QCOMPARE(login.size(), 50);
    QVERIFY(server.waitForBytes(login.size()));
    QTRY_VERIFY(frmConnect::ifLoaded() == nullptr);
    QCOMPARE(server.received(), login);

    frmMain& window = frmMain::instance();
    QVERIFY(window.isVisible());
    QVERIFY(window.TmrKeepAlive->isActive());
    QCOMPARE(window.TmrKeepAlive->interval(), 60000);
    QVERIFY(Declares::running);
    QCOMPARE(Declares::password, keepPassword ? password : QString());
    const QByteArray stored = keepPassword ? password.toLatin1() : QByteArray();
    QCOMPARE(readBytes(iniPath()), "[INIT]\r\nName=" + name.toLatin1() + "\r\nPassword=" + stored +
                                       "\r\nArena=duel\r\nServerIP=127.0.0.1\r\nPort= " +
                                       QByteArray::number(server.port()) + "\r\n");

    // The keep-alive tick sends one NOOP line.
    server.clearReceived();
    window.TmrKeepAlive_Timer();
    QVERIFY(server.waitForText("NOOP\n"));
    QCOMPARE(server.received(), QByteArray("NOOP\n"));
}

void TestLoginDialog::savedPasswordStaysThroughConnect()
{
    LoopbackServer server;
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[INIT]\r\nName=Bob\r\nPassword=kept\r\nArena=elim\r\n"
                   "ServerIP=127.0.0.1\r\nPort= " +
                   QByteArray::number(server.port()) + "\r\n");
    }
    frmConnect& dialog = showDialog();
    QVERIFY(dialog.SavePassChk->isChecked());
    click(dialog.Command1);
    QVERIFY(server.waitForText("LOGIN:1:Bob:kept\n"));
    QTRY_VERIFY(frmConnect::ifLoaded() == nullptr);
    QVERIFY(readBytes(iniPath()).contains("\r\nPassword=kept\r\n"));
}

void TestLoginDialog::refusedConnectionRearmsDialog()
{
    MessageBoxCloser closer;
    frmConnect& dialog = showDialog();
    fillBoxes(dialog, static_cast<quint16>(closedLoopbackPort()));
    click(dialog.Command1);
    QCOMPARE(dialog.mousePointer(), Qt::WaitCursor);
    QTRY_COMPARE(closer.texts(), QStringList{kRefused});
    QTRY_COMPARE(dialog.mousePointer(), Qt::ArrowCursor);

    // The next Connect starts a new attempt with the boxes as they are now.
    typeInto(dialog.NameTxt, QStringLiteral("Carol"));
    click(dialog.Command1);
    QCOMPARE(Declares::userName, QStringLiteral("Carol"));
    QCOMPARE(dialog.mousePointer(), Qt::WaitCursor);
    QTRY_COMPARE(closer.texts(), (QStringList{kRefused, kRefused}));
    QTRY_COMPARE(dialog.mousePointer(), Qt::ArrowCursor);
    QVERIFY(Declares::running);
    QVERIFY(frmConnect::ifLoaded() != nullptr);
    QVERIFY(!frmMain::instance().isVisible());
    QVERIFY(!QFile::exists(iniPath()));
}

void TestLoginDialog::unusablePortIsNamedAsTyped_data()
{
    QTest::addColumn<QString>("portBox");
    QTest::addColumn<bool>("portKeptFromBefore");
    QTest::addColumn<QString>("message");

    const QString beyond =
        QStringLiteral("The port \"%1\" cannot be used: usable ports are 1 to 32767.");
    QTest::newRow("above the range") << "99999" << false << beyond.arg(QStringLiteral("99999"));
    QTest::newRow("below the range") << "-40000" << false << beyond.arg(QStringLiteral("-40000"));
    QTest::newRow("exponent") << " 1e9 " << false << beyond.arg(QStringLiteral(" 1e9 "));
    // The port of an earlier attempt is not used for a number the user did not type.
    QTest::newRow("a usable port kept from before")
        << "32768" << true << beyond.arg(QStringLiteral("32768"));
    // Numbers that fit go to the connection, which names the port it could not use.
    QTest::newRow("zero") << "0" << false
                          << "The port 0 is not a valid port number for 127.0.0.1: usable ports "
                             "are 1 to 32767.";
}

void TestLoginDialog::unusablePortIsNamedAsTyped()
{
    QFETCH(QString, portBox);
    QFETCH(bool, portKeptFromBefore);
    QFETCH(QString, message);
    MessageBoxCloser closer;
    LoopbackServer server;
    if (portKeptFromBefore)
        Declares::port = server.port();
    frmConnect& dialog = showDialog();
    fillBoxes(dialog, 1);
    typeInto(dialog.PortTxt, portBox);
    click(dialog.Command1);
    QTRY_COMPARE(closer.texts(), QStringList{message});
    QTRY_VERIFY(dialog.mousePointer() != Qt::WaitCursor);
    QCOMPARE(Declares::port, portKeptFromBefore ? server.port() : qint16(0));
    QVERIFY(!server.waitForClient(200));
    QVERIFY(frmConnect::ifLoaded() != nullptr);
    QVERIFY(!QFile::exists(iniPath()));
}

void TestLoginDialog::secondConnectWhileWaitingDoesNothing()
{
    MessageBoxCloser closer;
    LoopbackServer server;
    frmConnect& dialog = showDialog();
    fillBoxes(dialog, static_cast<quint16>(server.port()));
    click(dialog.Command1);
    QCOMPARE(dialog.mousePointer(), Qt::WaitCursor);
    typeInto(dialog.NameTxt, QStringLiteral("Eve"));
    click(dialog.Command1);
    QCOMPARE(Declares::userName, QStringLiteral("Bob Smith"));

    QTRY_VERIFY(frmConnect::ifLoaded() == nullptr);
    QVERIFY(server.waitForText("\n"));
    QCOMPARE(server.received(), QByteArray("LOGIN:1:Bob Smith:s3cret\n"));
    QCOMPARE(closer.texts(), QStringList());
}

void TestLoginDialog::otherErrorShowsItsDescription()
{
    MessageBoxCloser closer;
    frmConnect& dialog = showDialog();
    dialog.setMousePointer(Qt::WaitCursor);
    frmMain::instance().Socket1_Error(SocketComponent::kOtherFailure,
                                      QStringLiteral("Host not found: zone.example"));
    QCOMPARE(closer.texts(), QStringList{QStringLiteral("Host not found: zone.example")});
    QCOMPARE(dialog.mousePointer(), Qt::ArrowCursor);

    // Once the dialog is gone, an error neither brings it back nor ends the session.
    frmConnect::unload();
    frmMain::instance().Socket1_Error(SocketComponent::kHostDown, QStringLiteral("down"));
    QCOMPARE(closer.texts().last(), kRefused);
    QVERIFY(frmConnect::ifLoaded() == nullptr);
    QVERIFY(Declares::running);
}

void TestLoginDialog::cancelSavesBoxesAndEnds_data()
{
    QTest::addColumn<bool>("byWindowSystem");
    QTest::addColumn<bool>("savePassword");
    QTest::addColumn<QString>("portBox");
    QTest::addColumn<int>("previousPort");
    QTest::addColumn<QByteArray>("portLine");

    QTest::newRow("cancel button") << false << false << "5000" << 0 << QByteArray("Port= 5000");
    QTest::newRow("cancel, password saved")
        << false << true << "5000" << 0 << QByteArray("Port= 5000");
    QTest::newRow("cancel, empty port box")
        << false << false << "" << 7706 << QByteArray("Port= 0");
    QTest::newRow("cancel, half rounds to even")
        << false << false << "6.5" << 0 << QByteArray("Port= 6");
    QTest::newRow("cancel, negative port")
        << false << false << "-12" << 0 << QByteArray("Port=-12");
    QTest::newRow("cancel, port out of range keeps the previous")
        << false << false << "40000" << 7706 << QByteArray("Port= 7706");
    QTest::newRow("window closed") << true << false << "5000" << 0 << QByteArray("Port= 5000");
    QTest::newRow("window closed, password saved")
        << true << true << "5000" << 0 << QByteArray("Port= 5000");
    QTest::newRow("window closed, port out of range")
        << true << false << "1e9" << 0 << QByteArray("Port= 0");
}

void TestLoginDialog::cancelSavesBoxesAndEnds()
{
    QFETCH(bool, byWindowSystem);
    QFETCH(bool, savePassword);
    QFETCH(QString, portBox);
    QFETCH(int, previousPort);
    QFETCH(QByteArray, portLine);
    Declares::port = static_cast<qint16>(previousPort);
    frmConnect& dialog = showDialog();
    typeInto(dialog.NameTxt, QStringLiteral("Bob"));
    typeInto(dialog.PasswordTxt, QStringLiteral("pw"));
    typeInto(dialog.PortTxt, portBox);
    QVERIFY(!dialog.SavePassChk->isChecked());
    if (savePassword)
        click(dialog.SavePassChk);
    if (byWindowSystem)
        dialog.close();
    else
        click(dialog.Command2);
    QVERIFY(!Declares::running);
    // Unticked, the typed password leaves no trace in the file.
    const QByteArray stored = savePassword ? "pw" : "";
    QCOMPARE(readBytes(iniPath()), "[INIT]\r\nName=Bob\r\nPassword=" + stored +
                                       "\r\nArena=elim\r\n"
                                       "ServerIP=127.0.0.1\r\n" +
                                       portLine + "\r\n");
    QVERIFY(frmMain::ifLoaded() == nullptr);
}

void TestLoginDialog::cancelDuringAttemptEnds()
{
    LoopbackServer server;
    frmConnect& dialog = showDialog();
    fillBoxes(dialog, static_cast<quint16>(server.port()));
    click(dialog.Command1);
    QCOMPARE(dialog.mousePointer(), Qt::WaitCursor);
    typeInto(dialog.ArenaTxt, QStringLiteral("other"));
    click(dialog.Command2);
    QVERIFY(!Declares::running);
    QVERIFY(readBytes(iniPath()).contains("Password=\r\nArena=other\r\n"));
}

void TestLoginDialog::serverCloseEndsProgram()
{
    LoopbackServer server;
    connectAndWait(server);
    QVERIFY(Declares::running);
    server.closeClient();
    QTRY_VERIFY(!Declares::running);
}

void TestLoginDialog::serverCloseEndsProgramUnderMessageBox()
{
    LoopbackServer server;
    connectAndWait(server);
    QVERIFY(Declares::running);

    // As in the program: a handler shows a box inside the running event loop, and the
    // server closes the connection while the box is open. The close must end both the
    // box and the loop; the fallback only keeps a failing test from hanging.
    bool boxReturned = false;
    bool runningAfterBox = true;
    QTimer::singleShot(0, this, [&] {
        QTimer::singleShot(50, &server, [&server] { server.closeClient(); });
        showMessage(QStringLiteral("A box the user has not closed yet."));
        boxReturned = true;
        runningAfterBox = Declares::running;
    });
    bool endedByFallback = false;
    QTimer fallback;
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, this, [&endedByFallback] {
        endedByFallback = true;
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
        QCoreApplication::exit(1);
    });
    fallback.start(10000);
    QCoreApplication::exec();
    QVERIFY(!endedByFallback);
    QVERIFY(boxReturned);
    QVERIFY(!runningAfterBox);
}

QTEST_MAIN(TestLoginDialog)
#include "tst_login_dialog.moc"
