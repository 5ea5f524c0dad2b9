#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// A notification on the desktop through the freedesktop notification service on the
// session bus. One notification stands for the program: a new one replaces the one
// still shown. Every call is asynchronous; without a session bus or a service nothing
// is shown and nothing waits.
class DesktopNotification : public QObject
{
    Q_OBJECT

public:
    static constexpr char kService[] = "org.freedesktop.Notifications";
    static constexpr char kPath[] = "/org/freedesktop/Notifications";

    explicit DesktopNotification(QObject* parent);

    // Shows a notification with summary and body as plain text.
    void show(const QString& summary, const QString& body);

    // The picture the notification shows, sent with it; without one, the server looks up
    // the program's icon in the icon theme.
    QImage icon;

    // Runs when the user activates the notification (its default action).
    std::function<void()> activated;

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    struct Message
    {
        QString summary;
        QString body;
    };

    // Sends the latest message once no call is in flight: until the first reply names
    // the notification, a second one would stack rather than replace it.
    void sendPending();
    void askCapabilities();
    void sendNotify(const Message& message);

    bool started_ = false;
    bool busy_ = false;
    bool capabilitiesKnown_ = false;
    bool bodyMarkup_ = false;
    uint shownId_ = 0;
    std::optional<Message> pending_;
};
