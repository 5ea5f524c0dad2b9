#pragma once

#include <QString>

#include <optional>

// A received message that calls for the user's attention: who sent it and what it says.
struct MessageForUser
{
    QString sender;
    QString text;

    friend bool operator==(const MessageForUser&, const MessageForUser&) = default;
};

// Is this server line meant for the user who logged in as userName? A private message
// is; so is a public, team or chat-channel message whose text holds userName as a word,
// compared without regard to case. The user's own messages, sent back by the server,
// are not.
std::optional<MessageForUser> messageForUser(const QString& line, const QString& userName);
