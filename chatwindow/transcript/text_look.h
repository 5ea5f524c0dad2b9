#pragma once

#include <QHash>
#include <QList>
#include <QRgb>

#include <cstdint>

// How a message is drawn: its colour and emphasis.
struct TextLook
{
    QRgb colour = 0;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const TextLook&, const TextLook&) = default;
};

// The distinct looks of the transcript, each kept once; a message refers to one by its
// number. The chat shows a handful of looks, one per kind of message.
class LookTable
{
public:
    using Id = std::uint16_t;
    // More looks than this share the last number; only the program's own fixed styles
    // reach the table, so it is never near full.
    static constexpr int kMaxLooks = 4096;

    Id intern(const TextLook& look);
    const TextLook& look(Id id) const { return looks_[id]; }
    int size() const { return static_cast<int>(looks_.size()); }

private:
    static quint32 key(const TextLook& look);

    QList<TextLook> looks_;
    QHash<quint32, Id> ids_;
    Id last_ = 0;
};
