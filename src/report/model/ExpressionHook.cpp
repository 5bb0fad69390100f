#include "report/model/ExpressionHook.h"

#include "report/expr/ExprGlobals.h"

namespace vaskel::ExpressionHook {

Value evaluate(const QString& expression)
{
    return ExprGlobals::get().parser.Evaluate(expression);
}

} // namespace vaskel::ExpressionHook
