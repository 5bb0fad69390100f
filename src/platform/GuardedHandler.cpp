#include "platform/GuardedHandler.h"

#include "platform/OutOfMemory.h"
#include "platform/PlatformError.h"
#include "platform/PlatformGlobals.h"
#include "platform/UiServices.h"

namespace vaskel {

void runShowingErrors(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const VaskelError& e) {
        PlatformGlobals::get().ui().showError(e.message());
    } catch (const std::bad_alloc&) {
        PlatformGlobals::get().ui().showError(outOfMemoryMessage());
    } catch (const std::exception& e) {
        PlatformGlobals::get().ui().showError(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace vaskel
