#pragma once
// Reads dBASE III/IV tables (.dbf) and writes them into the embedded SQLite database, where the
// data source "dBASE Files" finds them. Text is read in the file's code page: the one named by
// the caller, else a .cpg file beside the table, else the file's language driver byte, else CP936
// (GBK), the code page of the company's files. A file is read completely and checked before
// anything is written, and all tables of one import go in one transaction: a bad file (truncated,
// wrong header, unknown code page) gives a clear message and imports nothing.
#include <QList>
#include <QString>
#include <QVariantList>

namespace vaskel {

struct DbfColumn {
    QString name;
    char type = 'C'; // dBASE field type: C, N, F, D, L, M …
    int width = 0;
    int decimals = 0;
};

struct DbfTable {
    QString name; // the SQL table it becomes
    QString codePage; // the code page its text was read in
    QList<DbfColumn> columns;
    QList<QVariantList> rows; // deleted records are left out; blank values are null
};

class DbfImporter {
public:
    // Throws VaskelError naming the file and what is wrong with it.
    static DbfTable read(const QString& path, const QString& codePage = {});
    // Replaces each table of that name in `databaseFile` (created when missing). Throws
    // VaskelError; nothing is changed then.
    static void write(const QList<DbfTable>& tables, const QString& databaseFile);

    // The code page of a dBASE language driver byte; empty for one this program does not know.
    static QString codePageOfLanguageDriver(int ldid);
};

} // namespace vaskel
