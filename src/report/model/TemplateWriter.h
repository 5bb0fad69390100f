#pragma once
// Writes a template stream (version 25): header, page records, object entries with their end
// positions, the dictionary block, the end-of-pages byte and the information block with the
// current date-time as the last change. The writer never changes the model, except the record
// version bytes the format defines.
#include <QByteArray>

namespace vaskel {

class TemplateHolder;

namespace TemplateWriter {

// Throws EStreamError for content the format cannot hold (views beyond the 256th page, texts too
// long for a 16-bit length) and CodePageError for text the code page cannot hold.
QByteArray SaveTemplateToStream(TemplateHolder& holder, double lastChanged);
QByteArray SaveTemplateToStream(TemplateHolder& holder);

} // namespace TemplateWriter

} // namespace vaskel
