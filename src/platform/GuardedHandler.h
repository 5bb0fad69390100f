#pragma once
// How a window handler meets a failure: an exception never crosses the event loop; its message is
// shown in the standard error box and the window stays usable. The query window and the preview
// window run their button and key handlers through it.
#include <functional>

namespace vaskel {

void runShowingErrors(const std::function<void()>& handler);

} // namespace vaskel
