#pragma once

#include "zone.h"

#include <QByteArray>
#include <QObject>

// One player's side of the protocol: reads the lines a client (or a robot)
// sends, logs in once, and turns every later line into a zone operation.
class PlayerSession : public QObject
{
public:
    static constexpr int kProtocolVersion = 1;

    enum class Outcome { Continue, Close };

    PlayerSession(Zone& zone, Zone::Sink sink, QObject* parent = nullptr);

    // Handles one line without its line end. Close means the connection must
    // end once the answer has been sent (a refused login).
    Outcome handleLine(const QByteArray& line);
    // Leaves the zone, if logged in.
    void end();

    bool loggedIn() const { return !name_.isEmpty(); }
    const QByteArray& name() const { return name_; }

private:
    Outcome handleLogin(const QByteArray& fields);
    void handleCommand(const QByteArray& line);

    Zone& zone_;
    Zone::Sink sink_;
    QByteArray name_;
};
