#pragma once

#include "session/chat_view.h"

#include <QString>
#include <QStringList>

// Records what the dispatcher asks of the window, in order.
class RecordingView : public ChatView
{
public:
    void appendLine(const QString& text, quint8 red, quint8 green, quint8 blue, quint8 bold,
                    quint8 italic) override
    {
        calls.append(QStringLiteral("show %1 %2~%3~%4~%5~%6")
                         .arg(text)
                         .arg(red)
                         .arg(green)
                         .arg(blue)
                         .arg(bold)
                         .arg(italic));
    }
    void clearUsers() override { calls.append(QStringLiteral("clear")); }
    void addUser(const QString& name, int smallIcon) override
    {
        calls.append(QStringLiteral("add %1 %2").arg(name).arg(smallIcon));
    }
    void removeUser(const QString& name) override
    {
        calls.append(QStringLiteral("remove %1").arg(name));
    }

    QStringList calls;
};
