#pragma once
// What the program says when an allocation fails: the memory ran out, whatever was being read or
// built at the time, so the message never blames a file or an object.
#include <QString>

namespace vaskel {

inline QString outOfMemoryMessage()
{
    return QStringLiteral("Out of memory.");
}

} // namespace vaskel
