#pragma once
// What the running report offers views while they print into prepared pages, scripted by a test:
// whether OnBeforePrint is assigned and what the before-print step does to the text. Also reads back the entries a test's views wrote, as the prepared pages store does.
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportPrintHooks.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewFactory.h"

#include <functional>
#include <memory>
#include <vector>

namespace vaskel::test {

class ScriptedPrintHooks : public ReportPrintHooks {
public:
    bool HasBeforePrint() const override { return hasBeforePrint; }
    void BeforePrint(QStringList& text, TfrView& view) override
    {
        ++beforePrintCalls;
        if (beforePrint)
            beforePrint(text, view);
    }

    bool hasBeforePrint = false;
    std::function<void(QStringList& text, TfrView& view)> beforePrint;
    int beforePrintCalls = 0;
};

// Every view of a prepared page's data, in the order written.
inline std::vector<std::unique_ptr<TfrView>> readPrepared(const QByteArray& data)
{
    ReportStreamReader reader(data);
    ViewFactory factory;
    std::vector<std::unique_ptr<TfrView>> views;
    while (!reader.atEnd())
        views.push_back(PreparedObjectEntry::read(reader, factory, frRun()));
    return views;
}

} // namespace vaskel::test
