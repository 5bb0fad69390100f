#pragma once
// What the running report offers a view while it prints itself into a prepared page: the report's
// before-print step. The layout engine hands the running report's hooks to each view in its
// print context (and the report component names them in the run state for script callbacks while
// it runs); without hooks (drawing, tools, tests) a view prints as if no event were assigned.
#include <QStringList>

namespace vaskel {

class TfrView;

class ReportPrintHooks {
public:
    virtual ~ReportPrintHooks() = default;

    // Whether the report's `OnBeforePrint` event is assigned.
    virtual bool HasBeforePrint() const = 0;
    // The report's before-print step: a large-object field named by the view's `DataSetRef` and
    // `DataFieldName` is loaded into the view first (`LoadFromField`), then `OnBeforePrint`, if
    // assigned, may change `text`.
    virtual void BeforePrint(QStringList& text, TfrView& view) = 0;
};

} // namespace vaskel
