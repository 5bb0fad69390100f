#include "report/model/TfrExpressionHook.h"

#include "report/expr/ExprGlobals.h"

namespace vaskel::TfrExpressionHook {

TfrValue evaluate(const QString& expression)
{
    return ExprGlobals::get().parser.Evaluate(expression);
}

} // namespace vaskel::TfrExpressionHook
