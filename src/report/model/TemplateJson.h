#pragma once
// The text form of a template: every stored field of the header, pages, views, dictionary and
// information block as JSON, so templates can be written, reviewed and kept in version control.
// Fields of views at their class defaults are left out; pictures are base64 of their stored bytes.
// Keys are written in sorted order, so the same template always gives the same text, and
// building a template from its dump writes the same bytes (the last-change date aside).
#include "platform/PlatformError.h"

#include <QJsonDocument>

namespace vaskel {

class TemplateHolder;

// A JSON text that does not describe a template; the message names the place ("pages[0].views[2]
// .left: a whole number is expected").
class TemplateJsonError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

namespace TemplateJson {

QJsonDocument toJson(const TemplateHolder& holder);
// The text a person reads: keys sorted, one field a line, lists of plain values (memo lines,
// margins) on one line, each dictionary pair on a line of its own, UTF-8.
QByteArray toText(const QJsonDocument& json);
// One value in the same spelling, as it stands `depth` levels deep in a document (no line end):
// for writers that put a large document together piece by piece.
QByteArray toText(const QJsonValue& value, int depth);
// Fills an empty holder; throws TemplateJsonError.
void fromJson(const QJsonDocument& json, TemplateHolder& holder);

} // namespace TemplateJson

} // namespace vaskel
