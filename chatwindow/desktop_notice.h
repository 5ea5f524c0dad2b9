#pragma once

#include "chatwindow/notice_pacing.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class DesktopNotification;
class QTimer;
class QWidget;

// Tells the user of a message meant for them that arrived while the chat window was not
// the active window: the window asks for attention, once until it is activated, and a
// desktop notification shows the sender and the text; activating the notification brings
// the window up. A zone that floods private messages gets at most one notification a
// second (NoticePacing), each with at most kMaxBodyLength characters of the text.
// Tests override show() to record what frmMain decides to tell, or notify() and
// askAttention() to record what would reach the desktop.
class DesktopNotice : public QObject
{
public:
    static constexpr int kMaxBodyLength = 500;

    explicit DesktopNotice(QWidget& window);

    virtual void show(const QString& sender, const QString& text);

protected:
    // The desktop's side: the notification service and the window manager.
    virtual void notify(const QString& summary, const QString& body);
    virtual void askAttention();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releaseHeld();
    void scheduleRelease();

    QWidget& window_;
    DesktopNotification* notification_ = nullptr;
    QTimer* releaseTimer_ = nullptr;
    QElapsedTimer clock_;
    NoticePacing pacing_;
    bool attentionAsked_ = false;
};
