#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// The user list's pictures (UsrImages): nine 16 x 16 images on black, numbered from 1.
class ImageList
{
public:
    static constexpr int kCount = 9;

    ImageList();

    // Picture number 1..kCount; any other number gives a null icon.
    QIcon picture(int number) const;

    // Where picture number is kept among the program's resources.
    static QString resourcePath(int number);

private:
    QList<QIcon> pictures_;
};

// The window icon: a yellow smiley in 16 x 16 and 32 x 32.
QIcon smileyIcon();
