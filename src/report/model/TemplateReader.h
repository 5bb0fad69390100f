#pragma once
// Reads a template stream into a TemplateHolder: versions 21 to 25 and the older form without a
// version byte. Bad input never ends the program: it ends in one of the system's messages through
// the UI services ("Unsupported FRF format", the list of non-plugged components) and leaves the
// holder usable; a password-protected template opened from a file asks for its password.
#include <QByteArray>
#include <QString>

namespace vaskel {

class TemplateHolder;

namespace TemplateReader {

enum class StreamSource { File, Memory };

// An empty stream changes nothing. A memory stream (the engine's own copy of the template) never
// asks for the password.
void LoadTemplateFromStream(TemplateHolder& holder, const QByteArray& data, StreamSource source);

// False without a message when the file does not exist (or cannot be opened); the holder is then
// unchanged. Otherwise the file is read and `TemplateFileName` becomes its name.
bool LoadTemplate(TemplateHolder& holder, const QString& fileName);

// The message shown when add-in classes are missing; `missing` is the collected names, each
// followed by a carriage return.
QString nonPluggedMessage(const QString& missing);
// The warning shown when damaged object entries were left out; one line per entry.
QString damagedObjectsMessage(const QStringList& skipped);

} // namespace TemplateReader

} // namespace vaskel
