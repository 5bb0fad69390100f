// Printing lines and pictures into prepared pages: the printed copy read back draws what the view
// draws, a picture can come from a data field through the report's before-print step, the band
// alignment places the copy, and a script can hide the view.
#include "support/TestGlobals.h"

#include "BitmapBytes.h"
#include "ScriptedPrintHooks.h"
#include "platform/RecordingDevice.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrPictureView.h"

#include <QPainter>

#include <functional>

namespace vaskel {
namespace {

using test::bmpBytes;

class ViewEmitTest : public test::GlobalsTest {
protected:
    ViewEmitTest()
    {
        context.PrintMode = true;
        context.Hooks = &hooks;
    }

    std::vector<std::unique_ptr<TfrView>> printCopy(TfrView& view)
    {
        ReportStreamWriter out;
        view.EmitPrepared(out, context);
        return test::readPrepared(out.data());
    }

    std::vector<RecordedOperation> paint(TfrView& view)
    {
        RecordingDevice device(QSize(400, 400));
        QPainter p(&device);
        view.Paint(p, context);
        p.end();
        return device.operations();
    }

    test::ScriptedPrintHooks hooks;
    PrintContext context;
};

TEST_F(ViewEmitTest, LinesAndPicturesDrawTheSameFromThePreparedPage)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<TfrView>()> make;
    };
    const Case cases[] = {
        {"horizontal line",
            [] {
                auto line = std::make_unique<TfrLineView>();
                line->Left = 20, line->Top = 30, line->Width = 150, line->Height = 0;
                line->FrameWidth = 2;
                line->FrameColor = 0x0000FF;
                return line;
            }},
        {"dashed vertical line",
            [] {
                auto line = std::make_unique<TfrLineView>();
                line->Left = 40, line->Top = 10, line->Width = 10, line->Height = 120;
                line->FrameStyle = psDash;
                line->FrameWidth = 3;
                return line;
            }},
        {"framed, centred picture keeping its aspect",
            [] {
                auto picture = std::make_unique<TfrPictureView>();
                picture->Left = 50, picture->Top = 60, picture->Width = 100, picture->Height = 100;
                picture->Flags |= PictureFlags::Center;
                picture->FrameTyp = 15;
                picture->FillColor = 0xEEEEEE;
                picture->Picture.setData(StoredPicture::Bitmap, bmpBytes(40, 20, Qt::red));
                return picture;
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TfrView> view = c.make();
        const auto views = printCopy(*view);
        ASSERT_EQ(views.size(), 1u);
        EXPECT_EQ(views[0]->ClassName(), view->ClassName());
        const auto original = paint(*view);
        const auto copy = paint(*views[0]);
        ASSERT_GT(original.size(), 1u);
        ASSERT_EQ(copy.size(), original.size());
        for (size_t i = 0; i < copy.size(); ++i) {
            EXPECT_EQ(copy[i].kind, original[i].kind);
            EXPECT_EQ(copy[i].bounds, original[i].bounds);
        }
    }
}

TEST_F(ViewEmitTest, PictureFromADataFieldIsPrintedWithItsRecord)
{
    TfrPictureView picture;
    picture.Memo = QStringList{QStringLiteral("Goods.Photo")};
    picture.BlobType = btBMP;
    const QByteArray photo = bmpBytes(8, 8, Qt::blue);
    hooks.beforePrint = [&photo](QStringList&, TfrView& view) { view.LoadFromField(QVariant(photo)); };
    // The before-print step runs for every printed view, whether or not OnBeforePrint is assigned.
    hooks.hasBeforePrint = false;

    const auto views = printCopy(picture);
    ASSERT_EQ(views.size(), 1u);
    const auto& printed = dynamic_cast<const TfrPictureView&>(*views[0]);
    EXPECT_EQ(hooks.beforePrintCalls, 1);
    EXPECT_EQ(printed.Picture.kind(), StoredPicture::Bitmap);
    EXPECT_EQ(printed.Picture.bytes(), photo);
    EXPECT_EQ(printed.Memo, picture.Memo);

    hooks.beforePrint = [](QStringList&, TfrView& view) { view.LoadFromField(QVariant()); };
    const auto nullField = printCopy(picture);
    ASSERT_EQ(nullField.size(), 1u);
    EXPECT_TRUE(dynamic_cast<const TfrPictureView&>(*nullField[0]).Picture.isEmpty());
}

TEST_F(ViewEmitTest, BandAlignmentPlacesThePrintedCopy)
{
    struct Case {
        const char* name;
        quint8 align;
        std::optional<PrintingBand> band;
        QRect printed; // left, top, width, height
    };
    // The band prints at y 300 and takes 120 units this time; cross bands are 500 wide.
    const Case cases[] = {
        {"bottom-aligned follows the band's height", baBottom, PrintingBand{300, 500, 120, MasterData},
            QRect(10, 390, 150, 30)},
        {"top-aligned takes the band's top", baTop, PrintingBand{300, 500, 120, MasterData},
            QRect(10, 300, 150, 30)},
        {"full width in a cross band", baWidth, PrintingBand{300, 500, 120, CrossHeader},
            QRect(10, 20, 500, 30)},
        {"full width in a data band is already placed", baWidth, PrintingBand{300, 500, 120, DetailData},
            QRect(10, 20, 150, 30)},
        {"no band being printed", baBottom, std::nullopt, QRect(10, 20, 150, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrPictureView view;
        view.Left = 10, view.Top = 20, view.Width = 150, view.Height = 30;
        view.BandAlign = c.align;
        context.BandGeometry = c.band;
        const auto views = printCopy(view);
        ASSERT_EQ(views.size(), 1u);
        const TfrView& printed = *views[0];
        EXPECT_EQ(QRect(printed.Left, printed.Top, printed.Width, printed.Height), c.printed);
        EXPECT_EQ(printed.BandAlign, c.align);
    }
}

TEST_F(ViewEmitTest, ScriptCanHideTheViewAndTheTagIsExpandedForThePrintOnly)
{
    globals.parser.LookupName = [](const QString& name, Value& value) {
        if (name.compare(QLatin1String("Bill"), Qt::CaseInsensitive) == 0)
            value = Value(QStringLiteral("LD-0042"));
    };
    TfrLineView line;
    line.Width = 100;
    line.Tag = QStringLiteral("bill [Bill]");
    const auto views = printCopy(line);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0]->Tag, QStringLiteral("bill LD-0042"));
    EXPECT_EQ(line.Tag, QStringLiteral("bill [Bill]"));

    QStringList errors;
    globals.interpreter.CompileScript({QStringLiteral("Visible := False")}, line.BeforePrintScript, errors);
    ASSERT_TRUE(errors.isEmpty());
    EXPECT_TRUE(printCopy(line).empty());
}

} // namespace
} // namespace vaskel
