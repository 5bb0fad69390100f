#pragma once
// The page-setup dialog of the system's printing: the current printer's paper and the page
// margins, chosen together. A printer backend that can show it implements this beside
// `PrinterBackend`; the preview's page setup looks for it there. Margins are in hundredths of a
// millimetre, as the dialog shows them.
#include "platform/PrinterBackend.h"

namespace vaskel {

struct PageMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PageMargins&, const PageMargins&) = default;
};

class PrinterPageSetup {
public:
    virtual ~PrinterPageSetup() = default;
    // Opens the dialog for the current printer on `settings` and `margins`; true when the user
    // confirmed it, with both changed to the choice. The printer itself is not changed.
    virtual bool editPageSetup(PrinterDeviceSettings& settings, PageMargins& margins) = 0;
};

} // namespace vaskel
