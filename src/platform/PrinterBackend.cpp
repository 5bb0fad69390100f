#include "platform/PrinterBackend.h"

namespace vaskel {

PrinterBackend::~PrinterBackend() = default;

} // namespace vaskel
