#pragma once
// The operator table of the report language over Values: arithmetic, remainder, bitwise/logical
// AND and OR, negation and comparison, with the language's promotion rules (integers stay integers,
// a float makes a float, a date-time makes a date-time; strings are concatenated by "+" and read as
// numbers otherwise; empty counts as 0 or as empty text; null propagates). The evaluator calls these
// for every operator, so the numeric paths allocate nothing.
#include "report/expr/Value.h"

namespace vaskel::ValueOps {

enum class Binary : quint8 { Add, Subtract, Multiply, Divide, Mod, And, Or };

// Raises EConvertError for a string that is not a number, EDivByZero for MOD by 0. Divide yields
// the small integer 0 when the right operand equals 0, so "/" never fails on zero.
Value binary(Binary op, const Value& left, const Value& right);

Value negate(const Value& value);

// The order of two Values: -1, 0, 1, or 2 when they are unordered (a NaN). Null equals only null
// and is below every other value; strings compare as their bytes in the file code page,
// case-sensitively.
int compare(const Value& left, const Value& right);

// "x = 0" under the comparison rules (NOT and "/" ask this).
bool equalsZero(const Value& value);

} // namespace vaskel::ValueOps
