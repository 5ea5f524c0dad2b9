#pragma once

#include <QUrl>

// Opens a link's address in the desktop's browser, through QDesktopServices (which runs
// xdg-open here). Tests put a recorder in its place.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QUrl& address);
};
