#include "tools/TemplateCommand.h"

#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/SafeOutputFile.h"
#include "platform/ScriptedUi.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrGlobals.h"
#include "tools/RenderOutputs.h"

#include <QFile>

#include <optional>

namespace vaskel {

namespace {

const char* const kUsage = "Usage: vaskel template dump FILE.frf\n"
                           "       vaskel template build FILE.json -o FILE.frf\n";

int dump(const QString& name, QTextStream& out, QTextStream& err, ScriptedUi& ui)
{
    // A template named without a folder is found in the data folder too, as render finds it.
    const QString path = DataPaths::templateFile(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "vaskel template: cannot read \"" << path << "\": " << file.errorString() << '\n';
        return 1;
    }
    TemplateHolder holder;
    TemplateReader::LoadTemplateFromStream(holder, file.readAll(), TemplateReader::StreamSource::Memory);
    const auto shown = ui.interactionsOf(Interaction::Kind::MessageBox);
    if (!shown.isEmpty()) {
        for (const Interaction& m : shown)
            err << "vaskel template: " << path << ": "
                << QString(m.text).replace(QLatin1Char('\r'), QLatin1Char('\n')) << '\n';
        return 1;
    }
    out << QString::fromUtf8(TemplateJson::toText(TemplateJson::toJson(holder)));
    try {
        RenderOutputs::checkedFlush(out);
    } catch (const VaskelError& e) {
        err << "vaskel template: " << e.message() << '\n';
        return 1;
    }
    return 0;
}

int build(const QString& jsonPath, const QString& outPath, QTextStream& err)
{
    QFile file(jsonPath);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "vaskel template: cannot read \"" << jsonPath << "\": " << file.errorString() << '\n';
        return 1;
    }
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (json.isNull()) {
        err << "vaskel template: " << jsonPath << ": " << parseError.errorString() << " at offset "
            << parseError.offset << '\n';
        return 1;
    }
    try {
        TemplateHolder holder;
        TemplateJson::fromJson(json, holder);
        const QByteArray bytes = TemplateWriter::SaveTemplateToStream(holder);
        // Written beside and renamed over the target, so a failed build never damages a template.
        SafeOutputFile target(outPath);
        try {
            target.open();
            target.write(bytes);
            target.commit();
        } catch (const VaskelError& e) {
            err << "vaskel template: " << e.message() << '\n';
            return 1;
        }
    } catch (const VaskelError& e) {
        err << "vaskel template: " << jsonPath << ": " << e.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int runTemplateCommand(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runTemplateCommand(args, out, err);
}

int runTemplateCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    std::optional<TfrGlobals> own;
    if (!TfrGlobals::exists())
        own.emplace();
    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi& scripted = *ui;
    TfrGlobals::get().setUi(std::move(ui));
    // Text in the files is in the configured code page (VASKEL_CODEPAGE, Files/CodePage), as for
    // every other command; a name that is no usable code page ends the command.
    if (own) {
        try {
            TfrGlobals::get().codePage = CodePage(CodePage::configuredName());
        } catch (const CodePageError& e) {
            err << "vaskel template: " << e.message() << '\n';
            return 1;
        }
    }

    if (args.size() == 2 && args.at(0) == u"dump")
        return dump(args.at(1), out, err, scripted);
    if (args.size() == 4 && args.at(0) == u"build" && args.at(2) == u"-o")
        return build(args.at(1), args.at(3), err);
    err << kUsage;
    return 2;
}

} // namespace vaskel
