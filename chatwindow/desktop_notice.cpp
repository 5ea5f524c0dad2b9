#include "chatwindow/desktop_notice.h"

#include "chatwindow/desktop_notification.h"
#include "chatwindow/window_attention.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>

DesktopNotice::DesktopNotice(QWidget& window)
    : QObject(&window), window_(window), notification_(new DesktopNotification(this)),
      releaseTimer_(new QTimer(this))
{
    notification_->icon = window.windowIcon().pixmap(32, 32).toImage();
    notification_->activated = [this] {
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
        window_.show();
        window_.raise();
        window_.activateWindow();
    };
    releaseTimer_->setSingleShot(true);
    // A coarse timer may fire early; the pacing then holds the message a little longer.
    releaseTimer_->setTimerType(Qt::PreciseTimer);
    connect(releaseTimer_, &QTimer::timeout, this, &DesktopNotice::releaseHeld);
    clock_.start();
    window.installEventFilter(this);
}

void DesktopNotice::show(const QString& sender, const QString& text)
{
    if (!attentionAsked_ && window_.isVisible()) {
        attentionAsked_ = true;
        askAttention();
    }
    // A zone chooses the lengths of both; the desktop shows a few lines at most.
    PendingNotice notice{cutForNotice(sender, kMaxBodyLength), cutForNotice(text, kMaxBodyLength)};
    if (auto now = pacing_.offer(std::move(notice), clock_.elapsed()))
        notify(now->sender, now->text);
    else
        scheduleRelease();
}

void DesktopNotice::notify(const QString& summary, const QString& body)
{
    notification_->show(summary, body);
}

void DesktopNotice::askAttention()
{
    askForAttention(window_);
}

bool DesktopNotice::eventFilter(QObject* watched, QEvent* event)
{
    // The user has come to the window: what was held is read there, and the next message
    // may ask for attention again.
    if (watched == &window_ && event->type() == QEvent::WindowActivate) {
        attentionAsked_ = false;
        pacing_.dropHeld();
        releaseTimer_->stop();
    }
    return QObject::eventFilter(watched, event);
}

void DesktopNotice::releaseHeld()
{
    if (auto held = pacing_.release(clock_.elapsed()))
        notify(held->sender, held->text);
    else
        scheduleRelease();
}

void DesktopNotice::scheduleRelease()
{
    const std::optional<qint64> at = pacing_.releaseAt();
    if (!at || releaseTimer_->isActive())
        return;
    releaseTimer_->start(int(std::max<qint64>(0, *at - clock_.elapsed())));
}
