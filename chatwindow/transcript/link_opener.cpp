#include "chatwindow/transcript/link_opener.h"

#include <QDesktopServices>

void LinkOpener::open(const QUrl& address)
{
    QDesktopServices::openUrl(address);
}
