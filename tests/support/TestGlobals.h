#pragma once
// A fresh engine-globals object per test, with the pinned English locale and a scripted UI that
// the test can reach.
#include "platform/ScriptedUi.h"
#include "report/model/TfrGlobals.h"

#include <gtest/gtest.h>

namespace vaskel::test {

class GlobalsTest : public ::testing::Test {
protected:
    GlobalsTest()
    {
        auto ui = std::make_unique<ScriptedUi>();
        scriptedUi = ui.get();
        globals.setUi(std::move(ui));
    }

    TfrGlobals globals;
    ScriptedUi* scriptedUi = nullptr; // owned by globals
};

} // namespace vaskel::test
