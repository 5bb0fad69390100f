#pragma once
// A function library: a set of function names and the code that computes them. The report's
// function handler asks the registered libraries in order of registration (`HandleCall`); the
// first that knows the name computes the value. Every argument arrives as its unevaluated source
// text in a string Value, so a library evaluates what it needs with the global parser and may use
// an argument's text as a name instead. An application adds its own functions by deriving a
// library and registering it in the library list.
#include "report/expr/Value.h"

#include <QStringList>

#include <vector>

namespace vaskel {

class TfrFunctionLibrary {
public:
    TfrFunctionLibrary() = default;
    virtual ~TfrFunctionLibrary() = default;
    TfrFunctionLibrary(const TfrFunctionLibrary&) = delete;
    TfrFunctionLibrary& operator=(const TfrFunctionLibrary&) = delete;

    // The names this library answers, in the order `Compute` numbers them (compared ignoring case).
    QStringList FunctionNames;

    // The class name the library list knows the library by: one instance per class name.
    virtual QString ClassName() const = 0;

    // Computes `name` into `value` and returns true when it is one of `FunctionNames`; otherwise
    // returns false and leaves `value` alone.
    virtual bool HandleCall(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value);
    // `index` into `FunctionNames`.
    virtual void Compute(
        int index, const Value& p1, const Value& p2, const Value& p3, Value& value)
        = 0;

    struct Description {
        QString name;
        QString category;
        QString description;
    };
    // Records a description; the library list hands them to the description registry when the
    // library is registered.
    void AddDescription(const QString& name, const QString& category, const QString& description);
    const std::vector<Description>& Descriptions() const { return m_descriptions; }

private:
    std::vector<Description> m_descriptions;
};

} // namespace vaskel
