#include "chatwindow/image_list.h"

#include <QPixmap>

// The pictures are compiled into a static library, where nothing would otherwise pull
// them into the program: registering them here does.
static void loadChatWindowResources()
{
    static bool loaded = false;
    if (loaded)
        return;
    Q_INIT_RESOURCE(chatwindow);
    loaded = true;
}

ImageList::ImageList()
{
    loadChatWindowResources();
    for (int number = 1; number <= kCount; ++number)
        pictures_.append(QIcon(QPixmap(resourcePath(number))));
}

QIcon ImageList::picture(int number) const
{
    if (number < 1 || number > kCount)
        return {};
    return pictures_.at(number - 1);
}

QString ImageList::resourcePath(int number)
{
    return QStringLiteral(":/chatwindow/images/user%1.png").arg(number);
}

QIcon smileyIcon()
{
    loadChatWindowResources();
    QIcon icon;
    icon.addPixmap(QPixmap(QStringLiteral(":/chatwindow/images/smiley16.png")));
    icon.addPixmap(QPixmap(QStringLiteral(":/chatwindow/images/smiley32.png")));
    return icon;
}
