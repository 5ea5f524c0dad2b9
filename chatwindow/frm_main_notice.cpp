#include "chatwindow/frm_main.h"

#include "chatwindow/desktop_notice.h"
#include "session/message_for_user.h"
#include "session/wire_codec.h"
#include "shell/base/session_state.h"

void frmMain::noticeMessagesForUser(const QList<QByteArray>& lines)
{
    // The user reading the window needs no notice.
    if (isActiveWindow())
        return;
    // One notice for the lines of a notification: the newest message meant for the user.
    std::optional<MessageForUser> newest;
    for (const QByteArray& line : lines) {
        if (!line.startsWith("MSG:"))
            continue;
        if (auto message = messageForUser(fromWire(line), Declares::userName))
            newest = std::move(message);
    }
    if (!newest)
        return;
    if (!desktopNotice_)
        desktopNotice_ = new DesktopNotice(*this);
    desktopNotice_->show(newest->sender, newest->text);
}

void frmMain::setDesktopNoticeForTests(DesktopNotice* notice)
{
    delete desktopNotice_;
    desktopNotice_ = notice;
}
