#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <iterator>

// The look of each kind of message: red~green~blue~bold~italic.
namespace Style {

inline constexpr char kGreen[] =
    "107~222~90~0~0"; // login accepted, arena, command, private, moderator
inline constexpr char kLilac[] = "181~181~255~0~0";  // public messages
inline constexpr char kRed[] = "222~49~8~0~0";       // login refused
inline constexpr char kAmber[] = "255~189~41~0~0";   // arena joined, freq messages
inline constexpr char kGrey[] = "189~181~181~0~0";   // chat-channel messages
inline constexpr char kViolet[] = "181~132~239~0~0"; // squad messages
inline constexpr char kPink[] = "255~140~156~0~0";   // sysop messages

} // namespace Style

// A style string cut into its five values, each read by the numeric-prefix rule.
struct StyleValues
{
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;
    quint8 bold = 0;
    quint8 italic = 0;
};

StyleValues parseStyle(const QString& style);

// The looks the dispatcher gives the kinds of message, one per style string in use.
enum class Look { Green, Lilac, Red, Amber, Grey, Violet, Pink, None };

// Each look with its style string, in the order of Look; None stands for a keyword that
// shows no text, and has no style of its own.
struct LookStyle
{
    Look look;
    const char* style;
};
inline constexpr LookStyle kLookStyles[] = {
    {Look::Green, Style::kGreen}, {Look::Lilac, Style::kLilac},
    {Look::Red, Style::kRed},     {Look::Amber, Style::kAmber},
    {Look::Grey, Style::kGrey},   {Look::Violet, Style::kViolet},
    {Look::Pink, Style::kPink},   {Look::None, ""},
};

constexpr bool inOrderOfLook()
{
    for (std::size_t i = 0; i < std::size(kLookStyles); ++i) {
        if (kLookStyles[i].look != static_cast<Look>(i))
            return false;
    }
    return std::size(kLookStyles) == static_cast<std::size_t>(Look::None) + 1;
}
static_assert(inOrderOfLook(), "kLookStyles must list every look once, in the order of Look");

// The values of a look's style string, read once for the whole run.
const StyleValues& valuesOf(Look look);
