#include "session/dispatch_line.h"

#include "session/chat_view.h"
#include "session/get_field.h"
#include "session/number_rules.h"
#include "session/send_line.h"
#include "session/socket_component.h"
#include "session/style_strings.h"
#include "shell/base/session_state.h"

#include <QLatin1StringView>

#include <optional>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {

// The ':'-separated fields of the text a keyword counts them in, numbered from 1.
class Fields
{
public:
    explicit Fields(QString text) : text_(std::move(text)) {}
    QString operator[](qint16 n) const { return GetField(n, text_, ':'); }
    // Field n and everything after it, colons included: the text a message shows last.
    QString from(qint16 n) const { return getFieldsFrom(n, text_, ':'); }
    const QString& text() const { return text_; }

private:
    QString text_;
};

struct Peers
{
    ChatView& view;
    SocketComponent& socket;
};

using TextOf = QString (*)(const Fields&);
using Effect = void (*)(const Fields&, Peers&);

enum CountFieldsIn { WholeLine, Rest };

// One server keyword: where its fields are counted, what changes before anything is
// shown, the text shown (none without one) in its look, and what happens after.
struct Keyword
{
    QLatin1StringView prefix;
    CountFieldsIn fieldsIn;
    Effect before;
    TextOf text;
    Look look;
    Effect after;
};

// One kind of "MSG:" line and the text it shows. Its fields are counted in the line
// without "MSG:", so field 1 is the kind itself.
struct MessageKind
{
    QLatin1StringView prefix;
    TextOf text;
    Look look;
};

void show(ChatView& view, const QString& text, Look look)
{
    const StyleValues& v = valuesOf(look);
    view.appendLine(text, v.red, v.green, v.blue, v.bold, v.italic);
}

// The picture number a "PLAYER:" line asks for: its icon value plus 1, or 0 (no picture)
// for a value that is not a number or names none of the pictures.
int smallIconOf(const QString& value)
{
    const std::optional<double> number = strictNumberValue(value);
    const std::optional<qint16> icon = number ? roundToInt16(*number) : std::nullopt;
    if (!icon || *icon < 0 || *icon > 8)
        return 0;
    return *icon + 1;
}

// What the keywords do besides showing a text.

void goToTypedArena(const Fields&, Peers& p)
{
    if (!Declares::arenaName.isEmpty())
        TCP::SendLine(p.socket, QStringLiteral("GO:") + Declares::arenaName);
}

void closeConnection(const Fields&, Peers& p)
{
    p.socket.disconnectFromServer();
}

void enterArena(const Fields& f, Peers&)
{
    Declares::arenaName = f[1];
    Declares::currentFreq = clampToInt16(numericPrefixValue(f[2]));
}

void emptyUserList(const Fields&, Peers& p)
{
    p.view.clearUsers();
}

// "PLAYER:" and "ENTERING:" list a player alike: name, picture, and a freq not used.
void listPlayer(const Fields& f, Peers& p)
{
    p.view.addUser(f[1], smallIconOf(f[2]));
}

void unlistPlayer(const Fields& f, Peers& p)
{
    if (!f[1].isEmpty())
        p.view.removeUser(f[1]);
}

void dispatchMessage(const Fields& f, Peers& p);

QString joinedArena(const Fields&)
{
    return QStringLiteral("You have joined arena: ") + Declares::arenaName +
           QStringLiteral(" on freq: ") + QString::number(Declares::currentFreq);
}

// clang-format off
// Tested in this order; the first keyword the line starts with decides.
const Keyword kKeywords[] = {
    // keyword      fields in  before      text shown                                                    look         after
    {"LOGINOK:"_L1,  WholeLine, nullptr,    [](const Fields& f) { return u"Logged in: "_s + f.from(2); }, Look::Green, goToTypedArena},
    {"LOGINBAD:"_L1, WholeLine, nullptr,    [](const Fields& f) { return u"Login bad: "_s + f.from(2); }, Look::Red,   closeConnection},
    {"INARENA:"_L1,  Rest,      enterArena, joinedArena,                                                  Look::Amber, emptyUserList},
    {"PLAYER:"_L1,   Rest,      nullptr,    nullptr,                                                      Look::None,  listPlayer},
    {"ENTERING:"_L1, Rest,      nullptr,    nullptr,                                                      Look::None,  listPlayer},
    {"LEAVING:"_L1,  Rest,      nullptr,    nullptr,                                                      Look::None,  unlistPlayer},
    {"MSG:"_L1,      Rest,      nullptr,    nullptr,                                                      Look::None,  dispatchMessage},
};

// The kinds of "MSG:" lines, tested in this order. Names end at the next ":"; the text
// a message shows last runs to the end of the line.
const MessageKind kMessageKinds[] = {
    // kind      text shown                                                                                      look
    {"ARENA:"_L1, [](const Fields& f) { return u"Arena Message: "_s + f.from(2); },                                Look::Green},
    {"CMD:"_L1,   [](const Fields& f) { return u"Command Message: "_s + f.from(2); },                              Look::Green},
    {"PUB:"_L1,   [](const Fields& f) { return f[2] + u"> "_s + f.from(3); },                                      Look::Lilac},
    {"PRIV:"_L1,  [](const Fields& f) { return f[2] + u"> "_s + f.from(3); },                                      Look::Green},
    {"FREQ:"_L1,  [](const Fields& f) { return f[2] + u"> "_s + f.from(3); },                                      Look::Amber},
    {"CHAT:"_L1,  [](const Fields& f) { return u"Chat "_s + f[2] + u": "_s + f.from(3); },                         Look::Grey},
    {"MOD:"_L1,   [](const Fields& f) { return u"Mod Chat: "_s + f[2] + u"> "_s + f.from(3); },                    Look::Green},
    {"SYSOP:"_L1, [](const Fields& f) { return u"Sysop Message: "_s + f.from(2); },                                Look::Pink},
    {"SQUAD:"_L1, [](const Fields& f) { return u'(' + f[2] + u") "_s + f[3] + u"> "_s + f.from(4); },              Look::Violet},
};
// clang-format on

// f holds the line without "MSG:"; the first kind it starts with decides, and a kind
// that is not listed shows nothing.
void dispatchMessage(const Fields& f, Peers& p)
{
    for (const MessageKind& kind : kMessageKinds) {
        if (f.text().startsWith(kind.prefix)) {
            show(p.view, kind.text(f), kind.look);
            return;
        }
    }
}

} // namespace

namespace TCP {

void DispatchLine(const QString& line, ChatView& view, SocketComponent& socket)
{
    Peers peers{view, socket};
    for (const Keyword& keyword : kKeywords) {
        if (!line.startsWith(keyword.prefix))
            continue;
        const Fields fields(keyword.fieldsIn == WholeLine ? line : line.mid(keyword.prefix.size()));
        if (keyword.before)
            keyword.before(fields, peers);
        if (keyword.text)
            show(view, keyword.text(fields), keyword.look);
        if (keyword.after)
            keyword.after(fields, peers);
        return;
    }
}

} // namespace TCP
