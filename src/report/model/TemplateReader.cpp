#include "report/model/TemplateReader.h"

#include "platform/DateTimeValue.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/EClassNotFound.h"
#include "report/model/EStreamError.h"
#include "report/model/ReportLimits.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewLookup.h"

#include <QFile>

#include <exception>

namespace vaskel::TemplateReader {

namespace {

constexpr quint8 kPageRecord = 255;
constexpr quint8 kDictionary = 254;
constexpr quint8 kExtension = 253;
constexpr quint8 kEndOfPages = 252;

// An object entry that names a page not read yet: the entry is skipped, the read goes on.
struct BadPageIndex {
    int index;
};

QString stringOr(int number, const char* fallback)
{
    const QString text = LoadStr(number);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

void showError(const QString& text)
{
    PlatformGlobals::get().ui().messageBox(
        UiServices::applicationTitle(), text, MessageIcon::Error, MessageButtons::Ok);
}

void replaceByEmptyPage(TemplateHolder& holder)
{
    holder.Pages.Clear();
    holder.Pages.Add();
}

class StreamLoader {
public:
    StreamLoader(TemplateHolder& holder, ReportStreamReader& reader) : m_holder(holder), m_r(reader) { }

    // The object entries left out because they were damaged, one line each with the byte offset.
    const QStringList& skipped() const { return m_skipped; }

    // Reads the template body after the header: printer settings, then the pages section (pages,
    // their objects, the dictionary), then the report information; throws for failures that end
    // the read.
    void load()
    {
        RunState& run = frRun();
        m_holder.Pages.Clear();
        m_holder.Dictionary.Clear();
        m_holder.TwoPass = false;
        m_holder.Info.Reset(DateTimeValue::now());

        m_holder.UseDefaultPrinter = m_r.readBool16();
        m_holder.TwoPass = m_r.readBool16();
        QString printer = m_r.readString();
        if (printer == QString(QChar(1)))
            printer = LoadStr(StringTable::sVirtualPrinter);
        m_holder.SelectPrinterByName(printer);

        bool sectionEnded = false;
        while (!m_r.atEnd()) {
            const quint8 b = m_r.readU8();
            if (b == kPageRecord) {
                TfrPage* page = m_holder.Pages.Add();
                page->ReadPageRecord(m_r);
                if (m_r.version() < 24)
                    page->Name = GeneratePageName(m_holder.Pages);
            } else if (b == kDictionary) {
                m_holder.Dictionary.ReadDictionaryBlock(m_r);
            } else if (b == kExtension) {
                // No extension component exists here; its data cannot be skipped, so the pages
                // section ends at it.
                m_r.readU8();
                sectionEnded = true;
                break;
            } else if (b == kEndOfPages) {
                sectionEnded = true;
                break;
            } else if (b > 10) {
                m_r.fail(QStringLiteral("unknown section byte %1").arg(b));
            } else {
                readObjectEntry(b, run);
            }
        }
        // Streams of the current version always close their pages section; one that stops before
        // is cut short and has lost objects, which must not pass as a complete template. Older
        // streams may end right after their pages.
        if (!sectionEnded && m_r.version() >= ReportStreamReader::kCurrentVersion)
            m_r.fail(QStringLiteral("stream ends before its end-of-pages byte"));
        for (const auto& page : m_holder.Pages) {
            for (const auto& view : page->ObjectList)
                view->FinishLoading();
        }
        if (m_r.atEnd())
            m_holder.Info.Reset(DateTimeValue::now());
        else
            m_holder.Info.Read(m_r);
    }

private:
    void readObjectEntry(quint8 typeCode, RunState& run)
    {
        const int v = m_r.version();
        bool endRead = false;
        qint64 endPos = 0;
        TfrPage* addedTo = nullptr; // the page the entry's view went on, until it is read whole
        const qint64 entryPos = m_r.pos() - 1;
        const auto noteSkipped = [&](const QString& why) {
            m_skipped << QStringLiteral("object entry at byte offset %1: %2").arg(entryPos).arg(why);
        };
        auto readEnd = [&] {
            const qint64 pos = m_r.readI32();
            // An end position inside the entry's own header would make the read go round in
            // circles; one past the stream is a truncated stream.
            if (pos < m_r.pos() || pos > m_r.size())
                m_r.fail(QStringLiteral("object end position %1").arg(pos));
            endPos = pos;
            endRead = true;
        };
        // A skipped entry of the current form continues at its end position; older streams
        // have none and go on with the next byte as the stream stands.
        auto skipEntry = [&] {
            if (v < 24)
                return;
            if (!endRead)
                readEnd();
            m_r.seek(endPos);
        };
        try {
            QString className;
            quint8 code = typeCode;
            bool framedMemo = false;
            if (typeCode == 10) {
                className = m_r.readString();
                const QString upper = className.toUpper();
                if (upper == u"TFRBDELOOKUPCONTROL" || upper == u"TFRIBXLOOKUPCONTROL")
                    className = QStringLiteral("TfrDBLookupControl");
                if (upper == u"TFRFRAMEDMEMOVIEW") {
                    code = 0;
                    framedMemo = true;
                }
            }
            const quint8 pageIndex = m_r.readU8();
            TfrPage* page = m_holder.Pages.Page(pageIndex);
            if (!page)
                throw BadPageIndex{pageIndex};
            run.CurrentPage = page;
            std::unique_ptr<TfrView> created = m_holder.viewFactory().CreateView(code, className, run);
            if (v >= 24)
                readEnd();
            if (created) {
                TfrView* view = page->Add(std::move(created));
                addedTo = page;
                view->ReadRecord(m_r);
                if (const QString bad = ReportLimits::viewProblem(*view); !bad.isEmpty())
                    m_r.fail(QStringLiteral("%1: %2").arg(view->Name, bad));
                if (!TfrView::RecordHasName(v, view->PreparedMode))
                    view->Name = GenerateViewName(m_holder.Pages, *view);
                view->WriteProp(QStringLiteral("Name"), Value(view->Name));
            }
            if (framedMemo)
                m_r.readBytes(8);
            if (endRead)
                m_r.seek(endPos);
        } catch (const EClassNotFound&) {
            skipEntry();
        } catch (const BadPageIndex& bad) {
            noteSkipped(QStringLiteral("page %1 does not exist").arg(bad.index + 1));
            skipEntry();
        } catch (const VaskelError& e) {
            // Inside a record of the current form the end position tells where the next entry
            // starts; older streams have none, so a broken record ends the read.
            if (v < 24 || !endRead)
                throw;
            noteSkipped(e.detail().isEmpty() ? e.message() : e.detail());
            // The view read in part is no object of the template.
            if (addedTo && !addedTo->ObjectList.empty())
                addedTo->ObjectList.pop_back();
            m_r.seek(endPos);
        }
        run.CurrentPage = nullptr;
    }

    TemplateHolder& m_holder;
    ReportStreamReader& m_r;
    QStringList m_skipped;
};

bool askPassword(const TemplateHolder& holder)
{
    const std::optional<QString> entered
        = PlatformGlobals::get().ui().password(stringOr(StringTable::sPassword, "Password"),
            stringOr(StringTable::sEnterPassword, "Enter password for opening report"));
    return entered && *entered == holder.Info.Password;
}

} // namespace

QString damagedObjectsMessage(const QStringList& skipped)
{
    return QStringLiteral("The template is damaged: %1 object(s) could not be read and were left out.\r")
               .arg(skipped.size())
        + skipped.join(QLatin1Char('\r'));
}

QString nonPluggedMessage(const QString& missing)
{
    return QStringLiteral("Report contains the following non-plugged components:\r") + missing
        + QStringLiteral("You must include these components into your project.");
}

void LoadTemplateFromStream(TemplateHolder& holder, const QByteArray& data, StreamSource source)
{
    RunState& run = frRun();
    run.PrintMode = false;
    holder.Dictionary.Clear();
    if (data.isEmpty()) {
        // An empty file is no template; an empty stream from elsewhere is a new, empty one.
        if (source == StreamSource::File) {
            showError(stringOr(StringTable::sUnsupportedFormat, "Unsupported FRF format")
                + QStringLiteral("\rThe file is empty."));
            replaceByEmptyPage(holder);
        }
        return;
    }

    ReportStreamReader reader(data);
    quint8 version = reader.readU8();
    if (version <= 20) {
        // Streams older than the version byte start with their content.
        version = 21;
        reader.seek(0);
    }
    reader.setVersion(version);
    run.ErrorPending = false;
    run.ErrorText.clear();
    if (version > 25) {
        showError(stringOr(StringTable::sUnsupportedFormat, "Unsupported FRF format"));
        return;
    }

    QStringList skipped;
    try {
        StreamLoader loader(holder, reader);
        loader.load();
        skipped = loader.skipped();
    } catch (const VaskelError& e) {
        // The detail names what is wrong and where (the byte offset).
        run.CurrentPage = nullptr;
        const QString detail = e.detail().isEmpty() ? e.message() : e.detail();
        showError(
            stringOr(StringTable::sUnsupportedFormat, "Unsupported FRF format") + QLatin1Char('\r') + detail);
        replaceByEmptyPage(holder);
        return;
    } catch (const std::exception&) {
        run.CurrentPage = nullptr;
        showError(stringOr(StringTable::sUnsupportedFormat, "Unsupported FRF format"));
        replaceByEmptyPage(holder);
        return;
    }

    // Missing add-in classes are reported after the whole stream was read, so that the
    // information block, and with it the password protection, still applies to the objects
    // that did load.
    if (run.ErrorPending)
        showError(nonPluggedMessage(run.ErrorText));
    // A damaged object is never left out silently: a bill printed without half its lines looks
    // like a good one.
    if (!skipped.isEmpty())
        PlatformGlobals::get().ui().messageBox(UiServices::applicationTitle(), damagedObjectsMessage(skipped),
            MessageIcon::Warning, MessageButtons::Ok);

    if (holder.Info.PasswordProtected && source == StreamSource::File && !askPassword(holder)) {
        holder.Info.Reset(DateTimeValue::now());
        holder.TemplateFileName = stringOr(StringTable::sUntitled, "Untitled");
        replaceByEmptyPage(holder);
    }
}

bool LoadTemplate(TemplateHolder& holder, const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    holder.TemplateFileName = fileName;
    LoadTemplateFromStream(holder, data, StreamSource::File);
    return true;
}

} // namespace vaskel::TemplateReader
