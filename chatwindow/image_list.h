#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// The user list's pictures (UsrImages): nine 16 x 16 images on black, numbered from 1,
// each also drawn at 32 x 32 for screens scaled to 200%, and at whole multiples up to
// 128 x 128 for larger text.
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

// The program's icon, a yellow smiley, drawn at each of these sizes: the window icon,
// and the same pictures in the desktop's icon theme.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
QIcon smileyIcon();
