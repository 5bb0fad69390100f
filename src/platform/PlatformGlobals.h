#pragma once
// The process-wide objects of the platform layer: locale settings, the UI services and the code
// page for files. They are the base of the one engine-globals object (`TfrGlobals`), which the
// program creates at start-up and destroys at exit, and which each test creates afresh; each layer
// reaches its part of that one object through its own `get()`.
#include "platform/CodePage.h"
#include "platform/LocaleSettings.h"
#include "platform/ScratchSurface.h"
#include "platform/UiServices.h"

#include <memory>

namespace vaskel {

class PlatformGlobals {
public:
    // Installs itself as the current instance. The UI services default to a ScriptedUi until the
    // desktop installs its own.
    PlatformGlobals();
    virtual ~PlatformGlobals();
    PlatformGlobals(const PlatformGlobals&) = delete;
    PlatformGlobals& operator=(const PlatformGlobals&) = delete;

    static PlatformGlobals& get();
    static bool exists();

    LocaleSettings locale = LocaleSettings::fixedEnglish();
    CodePage codePage;
    // Where all text is measured (96 pixels per inch), with its per-font advance caches.
    ScratchSurface scratch;

    UiServices& ui() { return *m_ui; }
    void setUi(std::unique_ptr<UiServices> ui);

private:
    std::unique_ptr<UiServices> m_ui;
    PlatformGlobals* m_previous = nullptr;
};

} // namespace vaskel
