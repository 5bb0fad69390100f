#pragma once
// Start-up of the desktop program: create the query window on the configured data source and run
// the message loop until it closes. When the window cannot be created (no data source, the purchase
// query fails) the person sees one error box captioned with the program's name and the program ends with exit
// code 1.
#include "app/TForm1.h"

#include <exception>
#include <memory>

namespace vaskel {

class DesktopStartup {
public:
    // The window, or none after the "Application Error" box was shown.
    static std::unique_ptr<TForm1> createQueryWindow(const QString& odbcConnection);
    // Creates and shows the window, then runs the message loop when `runEventLoop`; returns the
    // process exit code (1 when the window could not be created).
    static int run(const QString& odbcConnection, bool runEventLoop = true);

    // "Exception <kind> in module <program> at <address>.\r\n<message>[.]\r\n"
    static QString applicationErrorText(const std::exception& error);
    // The start-up failure box for any error that ends the program before its window exists.
    static void showApplicationError(const std::exception& error);
};

} // namespace vaskel
