#pragma once

#include <QObject>
#include <QString>

class DesktopNotification;
class QWidget;

// Tells the user of a message meant for them that arrived while the chat window was not
// the active window: the window asks for attention, and a desktop notification shows
// the sender and the text; activating the notification brings the window up. Tests
// override show() to record what would have been shown.
class DesktopNotice : public QObject
{
public:
    explicit DesktopNotice(QWidget& window);

    virtual void show(const QString& sender, const QString& text);

private:
    QWidget& window_;
    DesktopNotification* notification_ = nullptr;
};
