#pragma once
// Where views evaluate an expression text given to a script method (the list methods' ".ADD",
// ".DELETE", ".INDEXOF", the picture's "LOADFROMFILE"): through the expression layer's evaluator.
#include "report/expr/Value.h"

namespace vaskel::ExpressionHook {

Value evaluate(const QString& expression);

} // namespace vaskel::ExpressionHook
