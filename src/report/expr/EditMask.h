#pragma once
// Edit masks as FORMATTEXT lays a text into them: "000-0000;0; " puts "5551234" out as "555-1234".
// Pure functions; nothing is checked against the character classes, the text is only laid out.
//
// An edit mask is the mask, then optionally ";" and a flag ("0": the text holds only the characters
// of the places; anything else: the text already holds the literals), then optionally ";" and the
// blank character that fills places the text does not reach ("_" when not given). In the mask:
//   L l A a C c 0 9 #   a place for one character of the text (required or optional alike here)
//   >  <  <>            the following places print in upper case, in lower case, as they are
//   !                   the text fills the places from the right, blanks go to the front
//   \x                  x is a literal even when it is a mask character
//   _                   a literal blank
//   / :                 the locale's date and time separators (as written without a locale)
//   anything else       a literal, inserted between the characters of the text
// The mask ends at its first ";" that is not escaped; text beyond the last place is dropped.
#include "platform/LocaleSettings.h"

#include <QString>

namespace vaskel {

QString FormatMaskText(const QString& editMask, const QString& text);
QString FormatMaskText(const QString& editMask, const QString& text, const LocaleSettings& locale);

} // namespace vaskel
