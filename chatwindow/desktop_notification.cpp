#include "chatwindow/desktop_notification.h"

#include "shell/base/session_state.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

constexpr char kInterface[] = "org.freedesktop.Notifications";
constexpr char kDefaultAction[] = "default";

// A picture as the "image-data" hint carries it: RGBA rows of 8-bit samples.
struct ImageData
{
    QImage rgba;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ImageData& image)
{
    const QImage& rgba = image.rgba;
    argument.beginStructure();
    argument << rgba.width() << rgba.height() << int(rgba.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char*>(rgba.constBits()), rgba.sizeInBytes());
    argument.endStructure();
    return argument;
}

// Only sent, never read back.
const QDBusArgument& operator>>(const QDBusArgument& argument, ImageData&)
{
    return argument;
}

QDBusMessage call(const char* method)
{
    return QDBusMessage::createMethodCall(QString::fromLatin1(DesktopNotification::kService),
                                          QString::fromLatin1(DesktopNotification::kPath),
                                          QString::fromLatin1(kInterface),
                                          QString::fromLatin1(method));
}

} // namespace

Q_DECLARE_METATYPE(ImageData)

DesktopNotification::DesktopNotification(QObject* parent) : QObject(parent)
{
    qDBusRegisterMetaType<ImageData>();
}

void DesktopNotification::show(const QString& summary, const QString& body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!started_) {
        started_ = true;
        // The server's answers to the user: which notification was activated or closed.
        // Qt D-Bus connects signals of the bus by the receiving slot's signature only.
        const QString service = QString::fromLatin1(kService);
        const QString path = QString::fromLatin1(kPath);
        const QString interface = QString::fromLatin1(kInterface);
        bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
        bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onClosed(uint, uint)));
    }
    pending_ = Message{summary, body};
    sendPending();
}

void DesktopNotification::sendPending()
{
    if (busy_ || !pending_)
        return;
    if (!capabilitiesKnown_) {
        askCapabilities();
        return;
    }
    const Message message = *pending_;
    pending_.reset();
    sendNotify(message);
}

void DesktopNotification::askCapabilities()
{
    busy_ = true;
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call("GetCapabilities")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QStringList> reply = *w;
        w->deleteLater();
        busy_ = false;
        if (reply.isError()) {
            // No service: what waits is dropped, and the next message asks again.
            pending_.reset();
            return;
        }
        capabilitiesKnown_ = true;
        bodyMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
        sendPending();
    });
}

void DesktopNotification::sendNotify(const Message& message)
{
    // A server that reads markup in the body would take "<" and "&" in a chat line for it.
    const QString body = bodyMarkup_ ? message.body.toHtmlEscaped() : message.body;
    QVariantMap hints;
    hints.insert(QStringLiteral("category"), QStringLiteral("im.received"));
    // Lets the service find the menu entry, and with it the program's name and icon.
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(Declares::kAppId));
    if (!icon.isNull()) {
        const ImageData image{icon.convertToFormat(QImage::Format_RGBA8888)};
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(image));
    }
    QDBusMessage notify = call("Notify");
    notify << QString::fromLatin1(Declares::kAppTitle) << shownId_
           << QString::fromLatin1(Declares::kAppId) << message.summary << body
           << QStringList{QString::fromLatin1(kDefaultAction), QStringLiteral("Show")} << hints
           << qint32(-1);

    busy_ = true;
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        busy_ = false;
        if (reply.isError())
            capabilitiesKnown_ = false; // the service went away; ask afresh next time
        else
            shownId_ = reply.value();
        sendPending();
    });
}

void DesktopNotification::onActionInvoked(uint id, const QString& action)
{
    if (id != 0 && id == shownId_ && action == QLatin1String(kDefaultAction) && activated)
        activated();
}

void DesktopNotification::onClosed(uint id, uint reason)
{
    Q_UNUSED(reason);
    if (id == shownId_)
        shownId_ = 0;
}
