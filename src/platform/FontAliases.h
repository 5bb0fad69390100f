#pragma once
// Templates name Windows font families ("Arial", "MS Sans Serif", "宋体" …). The program ships a
// fontconfig file (data/fonts/vaskel-fonts.conf) that maps each to an installed stand-in
// (Liberation fonts are metric-compatible with Arial, Times New Roman and Courier New; a CJK family
// for the Chinese names). fontconfig reads FONTCONFIG_FILE once, so it must be set before the Qt
// application object is created.
#include <QString>
#include <QStringList>

namespace vaskel::FontAliases {

// Points FONTCONFIG_FILE at the shipped alias file unless the environment already sets one.
// Returns the file in use (empty when the shipped file is missing: fonts then fall back to the
// system's own choices).
QString installBeforeApplication();

struct Alias {
    QString windowsName;
    QString standIn; // the installed family that should draw it
};

// The Windows family names the alias file covers, with their intended stand-ins.
QList<Alias> aliases();
QStringList windowsFamilies();

// The family Qt actually uses for a requested family (QFont::exactMatch is false for every alias).
QString resolvedFamily(const QString& requested);

// Every name (Latin and localised) of the face fontconfig picks for a requested family, with the
// program's alias file applied; empty when fontconfig finds no face at all.
QStringList fontconfigFamilies(const QString& requested);

// Names whose stand-in is not installed, so text falls back to a default font. Needs the Qt
// application object.
QStringList missingStandIns();
QStringList missingStandIns(const QList<Alias>& aliases);

// One line for the start-up log naming the fonts that fell back ("Fonts not installed, drawn with
// fallback fonts: Tahoma, 隶书"); empty when every stand-in is installed.
QString missingStandInsNotice();
QString missingStandInsNotice(const QList<Alias>& aliases);

} // namespace vaskel::FontAliases
