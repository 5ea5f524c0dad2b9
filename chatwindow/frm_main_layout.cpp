#include "chatwindow/frm_main.h"

#include "chatwindow/chat_layout.h"
#include "chatwindow/find_bar.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "chatwindow/user_list.h"

#include <QEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>

namespace {

bool isNormal(Qt::WindowStates states)
{
    return !(states & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

} // namespace

void frmMain::placeControls()
{
    const bool findBarOpen = findBar && !findBar->isHidden();
    const ChatLayout layout = layOutChat(size(), textPercent_, findBarOpen);
    RecTxt->setGeometry(layout.transcript);
    if (findBar)
        findBar->setGeometry(layout.findBar);
    UsrLst->setGeometry(layout.userList);
    Label7->move(layout.caption);
    Label7->resize(Label7->sizeHint());
    SendTxt->setGeometry(layout.entry);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The window manager says the window is maximised before it gives it the new size,
    // so a size that comes while the window is normal is one the user chose.
    if (isNormal(windowState()))
        normalSize_ = event->size();
    placeControls();
}

ChatWindowChoices frmMain::choices() const
{
    ChatWindowChoices now;
    now.width = normalSize_.width();
    now.height = normalSize_.height();
    now.maximized = windowState() & Qt::WindowMaximized;
    now.textPercent = textPercent_;
    return now;
}

void frmMain::openWith(const ChatWindowChoices& choices)
{
    setTextSize(choices.textPercent);
    QSize wanted(choices.width, choices.height);
    const QSize room = screen()->availableGeometry().size();
    const QSize design(ChatWindowChoices::kDesignWidth, ChatWindowChoices::kDesignHeight);
    if (wanted.width() < minimumWidth() || wanted.width() > room.width())
        wanted.setWidth(design.width());
    if (wanted.height() < minimumHeight() || wanted.height() > room.height())
        wanted.setHeight(design.height());
    resize(wanted.boundedTo(room).expandedTo(minimumSize()));
    // A hidden window hears of its size only when shown.
    normalSize_ = size();
    if (choices.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    openedWith_ = this->choices();
}

std::optional<ChatWindowChoices> frmMain::choicesToKeep() const
{
    if (!openedWith_ || *openedWith_ == choices())
        return std::nullopt;
    return choices();
}
