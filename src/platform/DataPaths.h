#pragma once
// Where the program's own data lives (font aliases, the demo database, examples): the folder named
// by VASKEL_DATA_DIR, else share/vaskel beside an installed program, else the source tree's data/
// folder the build came from. Usable before the Qt application object exists.
#include <QString>

namespace vaskel::DataPaths {

QString dataDir();
QString dataFile(const QString& relative);
QString version();

} // namespace vaskel::DataPaths
