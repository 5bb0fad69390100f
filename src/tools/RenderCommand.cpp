#include "tools/RenderCommand.h"

#include "platform/PlatformError.h"
#include "platform/ScriptedUi.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrGlobals.h"

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <functional>
#include <optional>

namespace vaskel {

namespace {

// Resolution of the PDF's drawing: fine enough that text placed in whole pixels sits where it belongs.
constexpr int kPdfDpi = 600;
constexpr int kDefaultDpi = 96;
constexpr int kMaxDpi = 2400;
constexpr double kMillimetresPerInch = 25.4;

struct RenderSession {
    QString frpFile;
    QString pdfFile;
    QString pngDir;
    int dpi = kDefaultDpi;
    bool json = false;
    QString jsonFile; // empty: standard output
    QTextStream* out = nullptr;
    QTextStream* err = nullptr;
};

struct RenderOption {
    const char* name;
    const char* valueName; // null for an option without a value
    bool optionalValue; // the value may be left out (then the next word is not taken)
    const char* help;
    // Takes the option's value; false (after a message on `err`) for a value it cannot use.
    bool (*apply)(RenderSession& session, const QString& value, bool given);
};

bool applyFrp(RenderSession& s, const QString& value, bool)
{
    s.frpFile = value;
    return true;
}

bool applyPdf(RenderSession& s, const QString& value, bool)
{
    s.pdfFile = value;
    return true;
}

bool applyPng(RenderSession& s, const QString& value, bool)
{
    s.pngDir = value;
    return true;
}

bool applyDpi(RenderSession& s, const QString& value, bool)
{
    bool ok = false;
    const int dpi = value.toInt(&ok);
    if (!ok || dpi < 1 || dpi > kMaxDpi) {
        *s.err << "render: --dpi needs a whole number from 1 to " << kMaxDpi << ", got \"" << value << "\"\n";
        return false;
    }
    s.dpi = dpi;
    return true;
}

bool applyJson(RenderSession& s, const QString& value, bool given)
{
    s.json = true;
    s.jsonFile = given ? value : QString();
    return true;
}

const RenderOption kOptions[] = {
    {"--frp", "FILE", false, "read the prepared pages from a prepared-report file", applyFrp},
    {"--pdf", "FILE", false, "write a PDF, one page per prepared page at its paper size", applyPdf},
    {"--png", "DIR", false, "write each page as DIR/page-001.png, page-002.png ...", applyPng},
    {"--dpi", "N", false, "resolution of the PNG pages (default 96)", applyDpi},
    {"--json", "FILE", true, "write every page and object as JSON (standard output without FILE)", applyJson},
};

QString usage()
{
    QString text = QStringLiteral(
        "Usage: vaskel render --frp FILE [--pdf FILE] [--png DIR [--dpi N]] [--json [FILE]]\n");
    for (const RenderOption& o : kOptions) {
        QString option = QString::fromLatin1(o.name);
        if (o.valueName)
            option += o.optionalValue ? QStringLiteral(" [%1]").arg(QLatin1String(o.valueName))
                                      : QLatin1Char(' ') + QLatin1String(o.valueName);
        text += QStringLiteral("  %1  %2\n").arg(option, -12).arg(QLatin1String(o.help));
    }
    return text;
}

const RenderOption* findOption(const QString& word)
{
    for (const RenderOption& o : kOptions) {
        if (word == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

// False (after a message) for a usage error.
bool parseArguments(RenderSession& s, const QStringList& args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        const qsizetype eq = word.indexOf('=');
        const RenderOption* option
            = word.startsWith(QLatin1String("--")) ? findOption(eq < 0 ? word : word.left(eq)) : nullptr;
        if (!option) {
            *s.err << "render: unknown argument \"" << word << "\"\n" << usage();
            return false;
        }
        QString value;
        bool given = true;
        if (eq >= 0) {
            value = word.mid(eq + 1);
        } else if (i + 1 < args.size()
            && !(option->optionalValue && args.at(i + 1).startsWith(QLatin1String("--")))) {
            value = args.at(++i);
        } else if (option->optionalValue) {
            given = false;
        } else {
            *s.err << "render: " << option->name << " needs " << option->valueName << "\n";
            return false;
        }
        if (!option->apply(s, value, given))
            return false;
    }
    if (s.frpFile.isEmpty()) {
        *s.err << "render: no pages to render: give --frp FILE\n" << usage();
        return false;
    }
    if (s.pdfFile.isEmpty() && s.pngDir.isEmpty() && !s.json) {
        *s.err << "render: nothing to write: give --pdf, --png or --json\n" << usage();
        return false;
    }
    return true;
}

// The paper of a page as it lies, in millimetres, from its metrics on the printer model.
QSizeF paperMillimetres(const TfrPreparedPage& page)
{
    const double perUnit = kMillimetresPerInch / TfrPrinter::kUnitsPerInch;
    return QSizeF(page.Metrics.UnitPaperWidth * perUnit, page.Metrics.UnitPaperHeight * perUnit);
}

// Draws one page onto `painter` filling `target`, then lets its live views go.
void drawPage(TfrEMFPages& pages, int index, QPainter& painter, const QRect& target)
{
    TfrPreparedPage& page = pages.PageAt(index);
    page.InUse = true;
    pages.DrawPage(index, painter, target);
    page.InUse = false;
    pages.ReleasePage(index);
}

[[noreturn]] void cannotCreate(const QString& name, const QString& reason)
{
    throw VaskelError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, reason));
}

// Outputs are written beside their target and renamed over it only when complete.
void openForWriting(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(file.fileName(), file.errorString());
}

void commit(QSaveFile& file)
{
    if (!file.commit())
        cannotCreate(file.fileName(), file.errorString());
}

void writePdf(TfrEMFPages& pages, const QString& fileName)
{
    QSaveFile file(fileName);
    openForWriting(file);
    QPdfWriter pdf(&file);
    pdf.setResolution(kPdfDpi);
    pdf.setCreator(QStringLiteral("vaskel"));
    QPainter painter;
    for (int i = 0; i < pages.Count(); ++i) {
        const QPageSize size(
            paperMillimetres(pages.PageAt(i)), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
        if (i == 0) {
            if (!painter.begin(&pdf))
                cannotCreate(fileName, file.errorString());
        } else {
            pdf.newPage();
        }
        drawPage(pages, i, painter, QRect(0, 0, pdf.width(), pdf.height()));
    }
    if (pages.Count() == 0)
        painter.begin(&pdf); // a PDF needs a page; an empty report gives one blank page
    painter.end();
    commit(file);
}

void writePngs(TfrEMFPages& pages, const QString& dirName, int dpi)
{
    if (!QDir().mkpath(dirName))
        cannotCreate(dirName, QStringLiteral("The folder cannot be created."));
    const QDir dir(dirName);
    const double pixelsPerUnit = dpi / TfrPrinter::kUnitsPerInch;
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPageMetrics& m = pages.PageAt(i).Metrics;
        const QSize size(qMax(1, qRound(m.UnitPaperWidth * pixelsPerUnit)),
            qMax(1, qRound(m.UnitPaperHeight * pixelsPerUnit)));
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            drawPage(pages, i, painter, QRect(QPoint(0, 0), size));
        }
        QSaveFile file(dir.filePath(QStringLiteral("page-%1.png").arg(i + 1, 3, 10, QLatin1Char('0'))));
        openForWriting(file);
        if (!image.save(&file, "PNG"))
            cannotCreate(file.fileName(), file.errorString());
        commit(file);
    }
}

void writeJson(TfrEMFPages& pages, const QString& fileName, QTextStream& out)
{
    const QByteArray text = TemplateJson::toText(PreparedPagesJson::toJson(pages));
    if (fileName.isEmpty()) {
        out << QString::fromUtf8(text);
        out.flush();
        return;
    }
    QSaveFile file(fileName);
    openForWriting(file);
    if (file.write(text) != text.size())
        cannotCreate(fileName, file.errorString());
    commit(file);
}

} // namespace

int runRenderCommand(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runRenderCommand(args, out, err);
}

int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    RenderSession session;
    session.out = &out;
    session.err = &err;
    if (!parseArguments(session, args)) {
        err.flush();
        return 2;
    }
    TfrGlobals globals;
    globals.setUi(std::make_unique<ScriptedUi>()); // headless: links are not opened, nothing asks
    TfrEMFPages pages(nullptr);
    const auto report = [&err](const QString& where, const VaskelError& e) {
        err << "vaskel render: " << where << ": " << e.message();
        if (!e.detail().isEmpty())
            err << " (" << e.detail() << ')';
        err << '\n';
        err.flush();
    };
    // A damaged file still gives the pages read before the fault; the run then ends with status 1.
    std::optional<VaskelError> loadError;
    try {
        pages.LoadFromFile(session.frpFile);
    } catch (const VaskelError& e) {
        if (pages.Count() == 0) {
            report(session.frpFile, e);
            return 1;
        }
        loadError = e;
    }
    QString stage;
    try {
        if (!session.pdfFile.isEmpty()) {
            stage = session.pdfFile;
            writePdf(pages, session.pdfFile);
        }
        if (!session.pngDir.isEmpty()) {
            stage = session.pngDir;
            writePngs(pages, session.pngDir, session.dpi);
        }
        if (session.json) {
            stage = session.jsonFile.isEmpty() ? session.frpFile : session.jsonFile;
            writeJson(pages, session.jsonFile, out);
        }
    } catch (const VaskelError& e) {
        report(stage, e);
        return 1;
    }
    if (loadError) {
        report(session.frpFile, *loadError);
        return 1;
    }
    return 0;
}

} // namespace vaskel
