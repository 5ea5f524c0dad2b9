#pragma once

#include "chatwindow/transcript_reader.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QLineEdit;
class QListWidget;
class TranscriptView;
class QWidget;
class ZoneClient;

// What a user does with the real windows, and what a user sees in them.

// The looks of the chat window's kinds of lines.
inline const QColor kPublicColour{0xB5, 0xB5, 0xFF};
inline const QColor kPrivateColour{0x6B, 0xDE, 0x5A};
inline const QColor kFreqColour{0xFF, 0xBD, 0x29};

// Replaces a box's text by typing: Ctrl+A selects what is there, the keys overwrite it.
void typeIntoBox(QLineEdit* box, const QString& text);

// Types a line and presses Enter through the window's native window, so that the keys
// take the path a real keyboard takes (key preview, focus, the entry box's handlers).
void typeLine(QWidget& window, const QString& text);

// The first paragraph of the transcript that reads text, once it has arrived.
std::optional<Paragraph> awaitParagraph(const TranscriptView* transcript, const QString& text,
                                        int timeoutMs = 5000);

// The names listed in the user list, top to bottom.
QStringList listedNames(const QListWidget& list);

// Name to ship number, from the zone's "PLAYER:name:ship:freq" and
// "ENTERING:name:ship:freq" lines; other lines are skipped.
QMap<QString, int> shipsAnnounced(const QList<QByteArray>& lines);

// The listed players whose picture is not the one for the ship the zone announced,
// each with the reason; empty when every picture is right.
QStringList wrongPictures(const QListWidget& list, const QMap<QString, int>& ships);

// A player on a plain socket, logged in and in an arena. arrival gets what the zone
// said on entering (INARENA and the PLAYER lines). Null when the zone refused.
std::unique_ptr<ZoneClient> peerInArena(quint16 port, const QByteArray& name,
                                        const QByteArray& arena,
                                        QList<QByteArray>* arrival = nullptr);

// True if a line starting with prefix is among those the client has received so far
// (the zone has answered a probe after them).
bool receivedLineStartingWith(ZoneClient& client, const QByteArray& prefix);
