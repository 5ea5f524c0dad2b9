#include "session/get_field.h"
#include "session/style_strings.h"
#include "session/chat_view.h"
#include "session/number_rules.h"
#include "session/socket_component.h"
#include "session/tcp.h"
#include "shell/session_state.h"

#include <QLatin1StringView>

#include <optional>
#include <utility>
#include <vector>

namespace {

// The ':'-separated fields of the text a keyword counts them in, numbered from 1.
class Fields
{
public:
    explicit Fields(QString text) : text_(std::move(text)) {}
    QString operator[](qint16 n) const { return GetField(n, text_, ':'); }
    // Field n and everything after it, colons included: the text a message shows last.
    // No name holds a ":", but a message text may ("see you at 10:30").
    QString from(qint16 n) const
    {
        qsizetype start = 0;
        for (qint16 field = 1; field < n; ++field) {
            start = text_.indexOf(u':', start);
            if (start < 0)
                return {};
            ++start;
        }
        return text_.mid(start);
    }
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

enum class CountFieldsIn { WholeLine, Rest };

// One server keyword: what changes before anything is shown, the text shown and its
// style, and what happens after. Empty entries do nothing.
struct Keyword
{
    QLatin1StringView prefix;
    CountFieldsIn fieldsIn;
    Effect before;
    TextOf text;
    const char* style;
    Effect after;
};

// One kind of "MSG:" line; its fields are counted in the line without "MSG:", so field 1
// is the kind itself.
struct MessageKind
{
    QLatin1StringView prefix;
    TextOf text;
    const char* style;
};

// The five values of one of the fixed style strings. Each is read once: a flood of
// messages would otherwise read the same few strings again for every line.
StyleValues lookOf(const char* style)
{
    static std::vector<std::pair<const char*, StyleValues>> looks;
    for (const auto& [known, look] : looks) {
        if (known == style)
            return look;
    }
    looks.emplace_back(style, parseStyle(QString::fromLatin1(style)));
    return looks.back().second;
}

void show(ChatView& view, const QString& text, const char* style)
{
    const StyleValues look = lookOf(style);
    view.appendLine(text, look.red, look.green, look.blue, look.bold, look.italic);
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

void dispatchMessage(const Fields& f, Peers& peers);

// "PLAYER:" and "ENTERING:" list a player alike: name, picture, and a freq not used.
void addPlayer(const Fields& f, Peers& p)
{
    p.view.addUser(f[1], smallIconOf(f[2]));
}

// clang-format off
const Keyword kKeywords[] = {
    {QLatin1StringView("LOGINOK:"), CountFieldsIn::WholeLine,
     nullptr,
     [](const Fields& f) { return QStringLiteral("Logged in: ") + f.from(2); }, Style::kGreen,
     [](const Fields&, Peers& p) {
         if (!Declares::arenaName.isEmpty())
             TCP::SendLine(p.socket, QStringLiteral("GO:") + Declares::arenaName);
     }},
    {QLatin1StringView("LOGINBAD:"), CountFieldsIn::WholeLine,
     nullptr,
     [](const Fields& f) { return QStringLiteral("Login bad: ") + f.from(2); }, Style::kRed,
     [](const Fields&, Peers& p) { p.socket.disconnectFromServer(); }},
    {QLatin1StringView("INARENA:"), CountFieldsIn::Rest,
     [](const Fields& f, Peers&) {
         Declares::arenaName = f[1];
         Declares::currentFreq = clampToInt16(numericPrefixValue(f[2]));
     },
     [](const Fields&) {
         return QStringLiteral("You have joined arena: ") + Declares::arenaName +
                QStringLiteral(" on freq: ") + QString::number(Declares::currentFreq);
     }, Style::kAmber,
     [](const Fields&, Peers& p) { p.view.clearUsers(); }},
    {QLatin1StringView("PLAYER:"), CountFieldsIn::Rest,
     nullptr,
     nullptr, nullptr,
     addPlayer},
    {QLatin1StringView("ENTERING:"), CountFieldsIn::Rest,
     nullptr,
     nullptr, nullptr,
     addPlayer},
    {QLatin1StringView("LEAVING:"), CountFieldsIn::Rest,
     nullptr,
     nullptr, nullptr,
     [](const Fields& f, Peers& p) {
         if (!f[1].isEmpty())
             p.view.removeUser(f[1]);
     }},
    {QLatin1StringView("MSG:"), CountFieldsIn::Rest,
     nullptr,
     nullptr, nullptr,
     dispatchMessage},
};

const MessageKind kMessageKinds[] = {
    {QLatin1StringView("ARENA:"),
     [](const Fields& f) { return QStringLiteral("Arena Message: ") + f.from(2); }, Style::kGreen},
    {QLatin1StringView("CMD:"),
     [](const Fields& f) { return QStringLiteral("Command Message: ") + f.from(2); }, Style::kGreen},
    {QLatin1StringView("PUB:"),
     [](const Fields& f) { return f[2] + QStringLiteral("> ") + f.from(3); }, Style::kLilac},
    {QLatin1StringView("PRIV:"),
     [](const Fields& f) { return f[2] + QStringLiteral("> ") + f.from(3); }, Style::kGreen},
    {QLatin1StringView("FREQ:"),
     [](const Fields& f) { return f[2] + QStringLiteral("> ") + f.from(3); }, Style::kAmber},
    {QLatin1StringView("CHAT:"),
     [](const Fields& f) { return QStringLiteral("Chat ") + f[2] + QStringLiteral(": ") + f.from(3); },
     Style::kGrey},
    {QLatin1StringView("MOD:"),
     [](const Fields& f) { return QStringLiteral("Mod Chat: ") + f[2] + QStringLiteral("> ") + f.from(3); },
     Style::kGreen},
    {QLatin1StringView("SYSOP:"),
     [](const Fields& f) { return QStringLiteral("Sysop Message: ") + f.from(2); }, Style::kPink},
    {QLatin1StringView("SQUAD:"),
     [](const Fields& f) {
         return u'(' + f[2] + QStringLiteral(") ") + f[3] + QStringLiteral("> ") + f.from(4);
     }, Style::kViolet},
};
// clang-format on

// f holds the line without "MSG:"; the first kind it starts with decides.
void dispatchMessage(const Fields& f, Peers& peers)
{
    for (const MessageKind& kind : kMessageKinds) {
        if (!f.text().startsWith(kind.prefix))
            continue;
        if (kind.text)
            show(peers.view, kind.text(f), kind.style);
        return;
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
        const Fields fields(
            keyword.fieldsIn == CountFieldsIn::WholeLine ? line : line.mid(keyword.prefix.size()));
        if (keyword.before)
            keyword.before(fields, peers);
        if (keyword.text)
            show(view, keyword.text(fields), keyword.style);
        if (keyword.after)
            keyword.after(fields, peers);
        return;
    }
}

} // namespace TCP
