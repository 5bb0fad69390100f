#pragma once
// The messages of the report core, the platform layer and the database layer in the interface's
// language. Those layers raise their messages in English, the text the command-line tools print;
// the desktop turns a message into the installed translation where it shows it, in a message box.
// A message is matched line by line against the English patterns listed in MessageTranslation.cpp
// ("'%1' is not a valid integer value"); the parts that fill a pattern's places are kept, and are
// themselves translated when they are messages of the list.
#include <QString>
#include <QStringList>

namespace vaskel::MessageTranslation {

// `text` in the installed translation; unchanged without one, and for lines that match no pattern.
QString translate(const QString& text);
// The English patterns of the list (for the check that each has a translation).
QStringList patterns();

} // namespace vaskel::MessageTranslation
