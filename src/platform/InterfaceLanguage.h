#pragma once
// The language of the program's texts. English is built in; a translation (translations/*.ts,
// compiled into the program) replaces the program's own texts and, through the string loader's
// localisation callback, the engine's string table. The language comes from VASKEL_LANG, else from
// the locale (LC_ALL, LC_MESSAGES, LANG); only Chinese has a translation so far.
#include <QString>

class QFont;
class QLocale;

namespace vaskel::InterfaceLanguage {

// The translation a language setting asks for: "zh_CN" for any Chinese setting ("zh_CN.UTF-8",
// "zh_SG", "zh"), empty for English and everything without a translation ("C", "en_GB", "de_DE").
QString translationFor(const QString& setting);
// The translation the environment asks for: VASKEL_LANG wins over the locale variables.
QString chosen();

// Loads `language`'s translation and installs it in the application object (which must exist), in
// place of an earlier one; empty text or a language without a translation leaves English.
// Returns whether a translation is now in use.
bool install(const QString& language);
// Back to English.
void uninstall();
// The installed translation ("zh_CN"), empty for English.
QString current();

// `font` as the windows show it in the installed language: under Chinese, the sans-serif face
// fontconfig chooses for Chinese (chineseSansFamily) follows the font's own family for the
// characters that family lacks; unchanged in English. install() applies it to the application's
// font; windows that set a font of their own pass it through here.
QFont interfaceFont(QFont font);

// The locale that dates and numbers follow: the system's, except that a Chinese interface chosen
// on a desktop whose locale is not Chinese (VASKEL_LANG=zh_CN under LANG=C) formats as a Chinese
// desktop does, so that grids show "2023/1/5" rather than "5 Jan 2023".
QLocale formattingLocale();
QString chineseSansFamily();

// The translated text of string table entry `number` whose English text is `english`; empty when
// no translation is installed or it does not translate that entry.
QString stringTableText(int number, const QString& english);

} // namespace vaskel::InterfaceLanguage
