#include "login/window_settings.h"

#include "login/profile_file.h"
#include "login/settings.h"
#include "login/settings_folder.h"

#include <QFileInfo>

#include <optional>

namespace {

const QString kWidth = QStringLiteral("WindowWidth");
const QString kHeight = QStringLiteral("WindowHeight");
const QString kMaximized = QStringLiteral("Maximized");
const QString kTextSize = QStringLiteral("TextSize");

// The largest size a window system takes; anything beyond is no size the window had.
constexpr int kLargestSize = 32767;

// A whole number written in plain digits, within [least, most].
std::optional<int> wholeNumber(const QString& text, int least, int most)
{
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int value = text.toInt();
    if (value < least || value > most)
        return std::nullopt;
    return value;
}

} // namespace

ChatWindowChoices ReadChatWindowChoices()
{
    const QString file = settingsFilePath();
    const QString section = QLatin1String(kChatWindowSection);
    const auto read = [&](const QString& key, int least, int most, int design) {
        return wholeNumber(ReadIniValue(file, section, key), least, most).value_or(design);
    };
    ChatWindowChoices choices;
    choices.width = read(kWidth, 1, kLargestSize, ChatWindowChoices::kDesignWidth);
    choices.height = read(kHeight, 1, kLargestSize, ChatWindowChoices::kDesignHeight);
    choices.maximized = read(kMaximized, 0, 1, 0) == 1;
    choices.textPercent =
        read(kTextSize, ChatWindowChoices::kMinTextPercent, ChatWindowChoices::kMaxTextPercent,
             ChatWindowChoices::kDesignTextPercent);
    return choices;
}

void SaveChatWindowChoices(const ChatWindowChoices& choices)
{
    const QString file = settingsFilePath();
    if (!makeFolderForUserAlone(QFileInfo(file).path()))
        return;
    ProfileFile::writeStrings(
        file, QLatin1String(kChatWindowSection),
        {
            {kWidth, QString::number(choices.width)},
            {kHeight, QString::number(choices.height)},
            {kMaximized, choices.maximized ? QStringLiteral("1") : QStringLiteral("0")},
            {kTextSize, QString::number(choices.textPercent)},
        });
}
