#pragma once
// The failures of the expression layer. Each carries the exact text a person sees; the report run
// collects them into its calculation-error message, the command line prints them.
#include "platform/PlatformError.h"

namespace vaskel {

// A text that does not read as a number, date or time ("'x' is not a valid floating point value").
class EConvertError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

// A Value of one kind that cannot become another ("Could not convert variant of type (Null) into
// type (String)").
class EVariantError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

// An integer division or remainder by zero ("Division by zero"). The expression "/" never raises it.
class EDivByZero : public VaskelError {
public:
    using VaskelError::VaskelError;
};

// An expression the parser cannot evaluate: a function call whose parentheses never close (empty
// message, as report authors have always seen it; the detail says what was wrong), an operator
// short of operands, or an expression beyond the evaluator's limits.
class EParserError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

} // namespace vaskel
