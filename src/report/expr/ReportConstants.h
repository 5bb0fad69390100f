#pragma once
// The named constants every expression and script can use: colours (clRed, clBtnFace …), dialog
// results (mrOk), CRLF, Null, and the values of font styles, frames, text and band alignment, line
// styles and message box flags, so that scripts can write Memo1.FrameTyp := frftLeft + frftTop.
// The engine globals fill their constants list with them at start-up.
#include "report/expr/TfrVariables.h"

namespace vaskel::ReportConstants {

// Adds every constant to `constants` (replacing values of names already there).
void fill(TfrVariables& constants);

} // namespace vaskel::ReportConstants
