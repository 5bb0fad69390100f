#pragma once
// One view as prepared pages store it: the type code, the class name for type 10, and the object
// record in prepared form (no page index, no end position), always in the version-25 encodings.
// The printing of a view writes it; the prepared pages store reads it back to draw.
#include "report/model/TfrView.h"

#include <memory>

namespace vaskel {

class ViewFactory;
struct RunState;

namespace PreparedObjectEntry {

// Writes `view` with `PreparedMode` set for the write.
void write(TfrView& view, ReportStreamWriter& writer);
// The next view of a prepared page, with `PreparedMode` set; null for type codes that create
// nothing. Throws EStreamError for a damaged entry and EClassNotFound for unknown add-in classes.
std::unique_ptr<TfrView> read(ReportStreamReader& reader, ViewFactory& factory, RunState& run);

} // namespace PreparedObjectEntry

} // namespace vaskel
