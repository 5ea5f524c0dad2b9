#pragma once

#include "chatwindow/transcript/link_opener.h"

#include <QStringList>

// Stands in for the desktop's browser: notes every address it is asked to open.
class OpenedLinks : public LinkOpener
{
public:
    explicit OpenedLinks(QStringList& opened) : opened_(opened) {}
    void open(const QUrl& address) override { opened_.append(address.toString()); }

private:
    QStringList& opened_;
};
