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

namespace {

// The picture with each pixel drawn as a square of times x times pixels, at a size of
// its own (the one drawn for 200% screens is otherwise read as half its pixels).
QPixmap multiplied(const QPixmap& picture, int times)
{
    QPixmap larger =
        picture.scaled(picture.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    larger.setDevicePixelRatio(1);
    return larger;
}

} // namespace

ImageList::ImageList()
{
    loadChatWindowResources();
    for (int number = 1; number <= kCount; ++number) {
        // The picture drawn at twice the size serves screens scaled to 200% or more,
        // which would otherwise blur an upscale of the small one.
        const QPixmap small(resourcePath(number));
        const QPixmap large(QStringLiteral(":/chatwindow/images/user%1@2x.png").arg(number));
        QIcon icon(small);
        icon.addPixmap(large);
        // Larger text draws them larger still: whole multiples of their pixels stay as
        // sharp as the pictures themselves, where a smooth upscale would blur them.
        icon.addPixmap(multiplied(small, 3));
        for (const int times : {2, 3, 4})
            icon.addPixmap(multiplied(large, times));
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
