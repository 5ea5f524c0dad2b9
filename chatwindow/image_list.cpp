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
    for (int number = 1; number <= kCount; ++number) {
        // The picture drawn at twice the size serves screens scaled to 200% or more,
        // which would otherwise blur an upscale of the small one.
        QIcon icon(QPixmap(resourcePath(number)));
        icon.addPixmap(QPixmap(QStringLiteral(":/chatwindow/images/user%1@2x.png").arg(number)));
        pictures_.append(icon);
    }
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
    for (const int size : kIconSizes)
        icon.addPixmap(QPixmap(QStringLiteral(":/chatwindow/images/smiley%1.png").arg(size)));
    return icon;
}
