#pragma once

#include "chatwindow/transcript/text_pos.h"

#include <QByteArray>

#include <optional>

// A place in the transcript as a failing comparison prints it: message:offset.
inline char* toString(const TextPos& pos)
{
    return qstrdup(QByteArray::number(pos.message) + ':' + QByteArray::number(pos.offset));
}
inline char* toString(const std::optional<TextPos>& pos)
{
    return pos ? toString(*pos) : qstrdup("none");
}
