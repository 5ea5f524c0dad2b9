// The receive path: bytes in arbitrary chunks through the program's receive step (the
// line framer and DispatchLine) into a recording chat view. Checks that every complete line of
// bounded length is dispatched once and in order, without the CR of a CR LF line end, that
// overlong lines are only ever dropped whole, and that the pending line never holds more than
// its cap.
#include "session/chat_view.h"
#include "session/receive_step.h"
#include "session/socket_component.h"
#include "shell/base/session_state.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr qsizetype kCap = 64;

struct RecordingView : ChatView
{
    void appendLine(const QString& text, quint8, quint8, quint8, quint8, quint8) override
    {
        ++appended;
        if (text.isNull())
            std::abort();
    }
    void clearUsers() override { users = 0; }
    void addUser(const QString&, int smallIcon) override
    {
        if (smallIcon < 0 || smallIcon > 9)
            std::abort();
        ++users;
    }
    void removeUser(const QString& name) override
    {
        if (name.isEmpty())
            std::abort();
        if (users > 0)
            --users;
    }
    int appended = 0;
    int users = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the chunk sizes; the rest is the stream.
    const unsigned seed = data[0];
    const QByteArray stream(reinterpret_cast<const char*>(data + 1),
                            static_cast<qsizetype>(size - 1));

    Declares::reset();
    Declares::arenaName = QStringLiteral("elim");
    SocketComponent socket;
    RecordingView view;
    ReceiveStep receive(kCap);
    QList<QByteArray> dispatched;

    qsizetype offset = 0;
    unsigned step = seed;
    while (offset < stream.size()) {
        step = step * 1103515245u + 12345u;
        const qsizetype chunk = 1 + static_cast<qsizetype>((step >> 16) % 97);
        dispatched += receive.take(stream.mid(offset, chunk), view, socket);
        offset += chunk;
        if (receive.framer().pending().size() > kCap)
            std::abort();
    }

    // The same stream cut in one piece: the dispatched lines must be these, in order,
    // each without the CR of a CR LF line end, less only some of those longer than the
    // cap.
    QList<QByteArray> whole = stream.split('\n');
    whole.removeLast(); // what follows the last LF is not a line yet
    qsizetype d = 0;
    for (const QByteArray& line : whole) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (d < dispatched.size() && dispatched[d] == text) {
            ++d;
        } else if (line.size() <= kCap) {
            std::abort();
        }
    }
    if (d != dispatched.size())
        std::abort();
    return 0;
}
