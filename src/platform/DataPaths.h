#pragma once
// Where the program's own data lives (font aliases, the demo database, examples): the folder named
// by VASKEL_DATA_DIR, else share/vaskel beside an installed program, else the source tree's data/
// folder the build came from. Usable before the Qt application object exists.
#include <QString>

namespace vaskel::DataPaths {

QString dataDir();
QString dataFile(const QString& relative);
// A template named by the user: the file as given when it exists; otherwise, for a bare file name,
// the one of that name in the data folder (an installed look.frf), when there is one.
QString templateFile(const QString& name);
QString version();

} // namespace vaskel::DataPaths
