#include "chatwindow/desktop_notice.h"

#include "chatwindow/desktop_notification.h"
#include "chatwindow/window_attention.h"

#include <QWidget>

DesktopNotice::DesktopNotice(QWidget& window)
    : QObject(&window), window_(window), notification_(new DesktopNotification(this))
{
    notification_->icon = window.windowIcon().pixmap(32, 32).toImage();
    notification_->activated = [this] {
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
        window_.show();
        window_.raise();
        window_.activateWindow();
    };
}

void DesktopNotice::show(const QString& sender, const QString& text)
{
    askForAttention(window_);
    notification_->show(sender, text);
}
