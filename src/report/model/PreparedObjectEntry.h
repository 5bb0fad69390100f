#pragma once
// One view as prepared pages store it: the type code, the class name for type 10, and the object
// record in prepared form (no page index, no end position), always in the version-25 encodings.
// The printing of a view writes it; the prepared pages store reads it back to draw.
//
// A page being prepared holds its text in the code page files are saved in, so saving it is a
// copy; an entry with a character that code page lacks goes over to UTF-8 (see
// ReportStreamWriter::setPageCodePage), and the page store converts that page to UTF-8, so any
// character a database gives a report survives preview, printing and PDF. Only saving such a page
// in a legacy code page fails, naming the character.
#include "report/model/TfrView.h"

#include <memory>

namespace vaskel {

class CodePage;
class ViewFactory;
struct RunState;

namespace PreparedObjectEntry {

// Writes `view` with `PreparedMode` set for the write: in `codePage`, or when that is null in
// the writer's page code page if it holds the entry, else in UTF-8.
void write(TfrView& view, ReportStreamWriter& writer, const CodePage* codePage = nullptr);
// The next view of a prepared page, with `PreparedMode` set; null for type codes that create
// nothing. Throws EStreamError for a damaged entry and EClassNotFound for unknown add-in classes.
std::unique_ptr<TfrView> read(
    ReportStreamReader& reader, ViewFactory& factory, RunState& run, const CodePage* codePage = nullptr);
// UTF-8: the code page of pages whose text no other code page holds.
const CodePage& memoryCodePage();

} // namespace PreparedObjectEntry

} // namespace vaskel
