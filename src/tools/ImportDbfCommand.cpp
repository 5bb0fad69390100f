#include "tools/ImportDbfCommand.h"

#include "app/DbfImporter.h"
#include "app/DemoDatabase.h"
#include "platform/PlatformError.h"

#include <QTextStream>

namespace vaskel {

namespace {

QString importUsage()
{
    return QStringLiteral(
        "Usage: vaskel import-dbf [--database FILE] [--code-page NAME] [--table NAME] FILE.dbf...\n"
        "Imports dBASE tables into the embedded database; text is read in the file's code page\n"
        "(from a .cpg file or the language driver byte, GBK when the file names none).\n");
}

} // namespace

int runImportDbfCommand(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runImportDbfCommand(args, out, err);
}

int runImportDbfCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString database;
    QString codePage;
    QString table;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if ((a == "--database" || a == "--code-page" || a == "--table") && hasValue) {
            (a == "--database" ? database : a == "--code-page" ? codePage : table) = args.at(++i);
        } else if (a == "--help" || a == "-h") {
            out << importUsage();
            return 0;
        } else if (a.startsWith('-')) {
            err << "vaskel import-dbf: unknown option \"" << a << "\"\n" << importUsage();
            return 2;
        } else {
            files << a;
        }
    }
    if (files.isEmpty() || (!table.isEmpty() && files.size() > 1)) {
        err << importUsage();
        return 2;
    }
    try {
        QList<DbfTable> tables;
        for (const QString& f : files) {
            tables << DbfImporter::read(f, codePage);
            if (!table.isEmpty())
                tables.back().name = table;
            // Table names ignore case in the database: a second file for the same table would
            // replace the first one's rows.
            for (qsizetype i = 0; i + 1 < tables.size(); ++i) {
                if (tables[i].name.compare(tables.back().name, Qt::CaseInsensitive) == 0) {
                    err << "vaskel import-dbf: " << files[i] << " and " << f << " both go into table "
                        << tables.back().name << "; import one of them alone with --table NAME\n";
                    return 1;
                }
            }
        }
        if (database.isEmpty())
            database = DemoDatabase::ensureDatabase(DemoDatabase::defaultFolder());
        DbfImporter::write(tables, database);
        for (const DbfTable& t : tables)
            out << "Imported " << t.rows.size() << " rows into " << t.name << " (" << t.codePage << ")\n";
        out << "Database: " << database << '\n';
        return 0;
    } catch (const VaskelError& e) {
        err << "vaskel import-dbf: " << e.message() << '\n';
    } catch (const std::exception& e) {
        err << "vaskel import-dbf: " << e.what() << '\n';
    }
    return 1;
}

} // namespace vaskel
