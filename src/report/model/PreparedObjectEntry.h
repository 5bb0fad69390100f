#pragma once
// One view as prepared pages store it: the type code, the class name for type 10, and the object
// record in prepared form (no page index, no end position), always in the version-25 encodings.
// The printing of a view writes it; the prepared pages store reads it back to draw.
//
// In memory the entries hold their text in UTF-8, so any character a database gives a report
// survives preview, printing and PDF; only a prepared-report file saved in a legacy code page
// converts it (the `codePage` argument), and there a character the code page lacks is an error.
#include "report/model/TfrView.h"

#include <memory>

namespace vaskel {

class CodePage;
class ViewFactory;
struct RunState;

namespace PreparedObjectEntry {

// Writes `view` with `PreparedMode` set for the write.
void write(TfrView& view, ReportStreamWriter& writer, const CodePage* codePage = nullptr);
// The next view of a prepared page, with `PreparedMode` set; null for type codes that create
// nothing. Throws EStreamError for a damaged entry and EClassNotFound for unknown add-in classes.
std::unique_ptr<TfrView> read(
    ReportStreamReader& reader, ViewFactory& factory, RunState& run, const CodePage* codePage = nullptr);
// The code page of entries in memory (UTF-8); `codePage` null above means this one.
const CodePage& memoryCodePage();

} // namespace PreparedObjectEntry

} // namespace vaskel
