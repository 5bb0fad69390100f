#pragma once
// Checks that keep the page former from running for ever on settings that can never print:
// child bands that link back to themselves, and a page with no room for a band. Each throws
// VaskelError with a message naming the bands, which ends the run as a calculation error does.
#include <QtGlobal>

#include <vector>

namespace vaskel {

class TfrBand;

namespace LayoutGuards {

// Follows every band's child link; a link back to a band on the way is a loop:
// "Child bands form a loop: Band3 -> Band5 -> Band3".
void checkChildBandLoops(const std::vector<TfrBand*>& bands);
// `band` must be split across pages that have `room` report units for it: with none, no page
// would ever print any of it ("No room on the page for band Band2").
void checkRoomOnPage(const TfrBand& band, qint32 room);

} // namespace LayoutGuards

} // namespace vaskel
