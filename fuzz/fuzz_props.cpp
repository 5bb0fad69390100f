// libFuzzer target for the by-name property writes of scripts: each input line is a script
// assignment "OBJECT.PROPERTY := VALUE" (or a whole script line) run through the report's
// interpreter against a page holding one view of every kind and a band. Whatever a script sets,
// the objects must stay within what a template may hold: afterwards every view and the page pass
// the readers' range checks, and the template written from them reads back. A crash, a sanitizer
// report (signed overflow included), a foreign exception, a hang or a value out of range
// (reported by trapping) is a find.
//
// Input: bytes 0-1 choose objects and properties from the tables below for the first line; each
// further line, when it starts with '=', is "=O P VALUE" (O, P one byte each selecting from the
// tables, VALUE the text of the value expression), otherwise a script line taken as it is.
#include "FuzzSupport.h"
#include "platform/ScriptedUi.h"
#include "report/model/ReportLimits.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/TfrSubReportView.h"

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

const char* const kObjects[] = {"Memo1", "Band1", "Picture1", "Line1", "SubReport1", "Page1", ""};
const char* const kProperties[]
    = {"Left", "Top", "Width", "Height", "FrameWidth", "Columns", "ColumnWidth", "ColumnGap", "LeftMargin",
        "TopMargin", "RightMargin", "BottomMargin", "Font.Size", "LineSpacing", "CharSpacing", "GapX", "GapY",
        "Visible", "Memo", "Alignment", "Flags", "Stretched", "Size", "Orientation", "FrameTyp", "FillColor"};
const char* const kValues[] = {"2147483647", "-2147483648", "2147483648", "1e300", "-1e300", "0", "-1",
    "1000000", "1000001", "1.5", "'x'", "1/0", "1e-300", "4294967296"};

struct Fixture {
    Fixture()
    {
        auto scripted = std::make_unique<ScriptedUi>();
        globals.setUi(std::move(scripted));
    }
    TfrGlobals globals;
};

Fixture& fixture()
{
    static Fixture* f = new Fixture; // lives for the whole fuzzing process
    return *f;
}

template <typename V> V* add(TfrPage& page, const char* name)
{
    auto v = std::make_unique<V>();
    v->Name = QString::fromLatin1(name);
    v->Left = 10;
    v->Top = 10;
    v->Width = 100;
    v->Height = 20;
    return static_cast<V*>(page.Add(std::move(v)));
}

QString assignment(uint8_t object, uint8_t property, const QString& value)
{
    const QString target = QString::fromLatin1(kObjects[object % std::size(kObjects)]);
    const QString name = QString::fromLatin1(kProperties[property % std::size(kProperties)]);
    return (target.isEmpty() ? name : target + QLatin1Char('.') + name) + QStringLiteral(" := ") + value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    Fixture& f = fixture();
    TemplateHolder holder;
    TfrPage& page = *holder.Pages.Add();
    TfrMemoView* memo = add<TfrMemoView>(page, "Memo1");
    add<TfrBandView>(page, "Band1");
    add<TfrPictureView>(page, "Picture1");
    add<TfrLineView>(page, "Line1");
    add<TfrSubReportView>(page, "SubReport1");
    TInterpretator& in = f.globals.interpreter;
    in.Pages = &holder.Pages;
    f.globals.run.CurrentPage = &page;
    f.globals.run.CurrentView = memo;

    const QString text = fuzz::inputText(0, reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    QStringList lines{
        assignment(data[0], data[1], QString::fromLatin1(kValues[data[1] % std::size(kValues)]))};
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('=')) && line.size() >= 3)
            lines << assignment(uint8_t(line[1].unicode()), uint8_t(line[2].unicode()), line.mid(3));
        else
            lines << line;
    }
    for (const QString& line : lines) {
        QStringList compiled, errors;
        in.CompileScript({line}, compiled, errors);
        in.StepLimit = 1000;
        fuzz::guarded([&] { in.RunScript(compiled); });
    }
    in.Pages = nullptr;
    f.globals.run.CurrentView = nullptr;
    f.globals.run.CurrentPage = nullptr;

    // What scripts set is what the readers accept.
    if (!ReportLimits::pageProblem(page).isEmpty())
        __builtin_trap();
    for (const auto& view : page.ObjectList) {
        if (!ReportLimits::viewProblem(*view).isEmpty())
            __builtin_trap();
    }
    fuzz::guarded([&] {
        const QByteArray bytes = TemplateWriter::SaveTemplateToStream(holder);
        TemplateHolder back;
        TemplateReader::LoadTemplateFromStream(back, bytes, TemplateReader::StreamSource::Memory);
    });
    f.globals.runtimeVariables.Clear();
    return 0;
}
