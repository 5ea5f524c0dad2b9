#include "chatwindow/frm_main.h"

#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "session/send_line.h"
#include "session/send_login.h"
#include "session/socket_component.h"
#include "shell/base/message_box.h"
#include "shell/base/session_state.h"

#include <QTimer>

void frmMain::Socket1_Connect()
{
    // The login line carries the password as typed, before FinishConnect may blank it.
    TCP::SendLogin(*Socket1);
    emit loginSent();
}

void frmMain::startConnect(const QString& host, qint16 port)
{
    Socket1->setRemoteHost(host);
    Socket1->setRemotePort(port);
    Socket1->connectToServer();
}

void frmMain::Socket1_Read(int bytesTotal)
{
    takeReceived(Socket1->read(bytesTotal));
}

void frmMain::takeReceived(const QByteArray& bytes)
{
    // The transcript changes, and lays itself out, once per notification, not per line.
    TranscriptBatch batch(*RecTxt);
    noticeMessagesForUser(receive_.take(bytes, *this, *Socket1));
}

void frmMain::Socket1_Error(int code, const QString& description)
{
    const bool serverAway = code == SocketComponent::kConnectionRefused ||
                            code == SocketComponent::kHostDown ||
                            code == SocketComponent::kHostUnreachable;
    showMessage(
        serverAway ? QStringLiteral("The server seems to be down or unreachable. Please try again.")
                   : description);
    // The program may have been ended while the box was open.
    if (Declares::running)
        emit connectFailed();
}

void frmMain::Socket1_Close()
{
    // Whatever the state, even under an open message box, the session is over.
    Declares::clearRunning();
}

void frmMain::Socket1_Disconnected()
{
    // The connection is gone but the window stays, with the reason readable: nothing
    // more can be sent, and a greyed entry box says so rather than swallowing lines.
    SendTxt->setEnabled(false);
}

void frmMain::TmrKeepAlive_Timer()
{
    TCP::SendLine(*Socket1, QStringLiteral("NOOP"));
}
