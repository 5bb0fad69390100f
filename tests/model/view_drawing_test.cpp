// Drawing of lines, pictures and frames, checked on rendered images at zoom 1 (report units are
// pixels there).
#include "support/TestGlobals.h"

#include "BitmapBytes.h"

#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <functional>

namespace vaskel {
namespace {

class ViewDrawingTest : public test::GlobalsTest {
protected:
    QImage render(TfrView& view, QColor background = Qt::white)
    {
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(background);
        QPainter p(&image);
        view.Paint(p, context);
        p.end();
        return image;
    }

    // The pixels of `image` that are not `background`, as a bounding rectangle and a count.
    static QRect inkBounds(const QImage& image, int* count = nullptr, QRgb background = qRgb(255, 255, 255))
    {
        QRect bounds;
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != background) {
                    bounds = bounds.united(QRect(x, y, 1, 1));
                    ++n;
                }
            }
        }
        if (count)
            *count = n;
        return bounds;
    }

    static int inkInRow(const QImage& image, int y, int x0, int x1)
    {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += image.pixel(x, y) != qRgb(255, 255, 255);
        return n;
    }
    PrintContext context;
};

TEST_F(ViewDrawingTest, LinesTakeTheDirectionOfTheirLongerSide)
{
    TfrLineView horizontal;
    horizontal.Left = 20, horizontal.Top = 30, horizontal.Width = 100, horizontal.Height = 0;
    const QRect h = inkBounds(render(horizontal));
    EXPECT_EQ(h.top(), 30);
    EXPECT_EQ(h.height(), 1);
    EXPECT_EQ(h.left(), 20);
    EXPECT_GE(h.width(), 99);
    EXPECT_EQ(horizontal.FrameTyp, 8);

    TfrLineView vertical;
    vertical.Left = 40, vertical.Top = 10, vertical.Width = 10, vertical.Height = 100;
    const QRect v = inkBounds(render(vertical));
    EXPECT_EQ(v.left(), 40);
    EXPECT_EQ(v.width(), 1);
    EXPECT_EQ(v.top(), 10);
    EXPECT_GE(v.height(), 99);
    EXPECT_EQ(vertical.Width, 0) << "the collapsed side stays in the view";
    EXPECT_EQ(vertical.FrameTyp, 4);
}

using test::bmpBytes;

TEST_F(ViewDrawingTest, StretchedPictureKeepsItsAspectAndIsCentred)
{
    TfrPictureView view;
    view.Left = 0, view.Top = 0, view.Width = 100, view.Height = 100;
    view.FrameTyp = 0;
    view.Flags = ViewFlags::Stretched | PictureFlags::KeepAspect | PictureFlags::Center;
    view.Picture.setData(StoredPicture::Bitmap, bmpBytes(200, 100, Qt::red));
    ASSERT_EQ(view.Picture.size(), QSize(200, 100));
    int count = 0;
    const QRect drawn = inkBounds(render(view), &count);
    EXPECT_EQ(drawn.height(), 50);
    EXPECT_EQ(drawn.top(), 25) << "centred vertically in the 100 x 100 rectangle";
    EXPECT_EQ(drawn.left(), 0);
    EXPECT_NEAR(drawn.width(), 100, 1);
    EXPECT_EQ(count, drawn.width() * drawn.height());
}

TEST_F(ViewDrawingTest, PictureAtNaturalSizeMayExceedItsRectangle)
{
    TfrPictureView view;
    view.Left = 10, view.Top = 10, view.Width = 20, view.Height = 20;
    view.FrameTyp = 0;
    view.Flags = 0;
    view.Picture.setData(StoredPicture::Bitmap, bmpBytes(60, 40, Qt::blue));
    EXPECT_EQ(inkBounds(render(view)), QRect(10, 10, 60, 40));
}

TEST_F(ViewDrawingTest, JpegPicturesAreDecoded)
{
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(Qt::green);
    QByteArray jpeg;
    QBuffer buf(&jpeg);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, "JPG"))
        GTEST_SKIP() << "no JPEG writer to make the fixture";
    StoredPicture picture;
    picture.setData(StoredPicture::Jpeg, jpeg);
    EXPECT_EQ(picture.size(), QSize(8, 4));
    picture.setData(StoredPicture::Jpeg, jpeg.left(jpeg.size() / 2) + QByteArray(5000, '\x11'));
    (void)picture.image(); // a damaged stream decodes to something or nothing, never a crash
    picture.setData(StoredPicture::Jpeg, QByteArray("not a jpeg"));
    EXPECT_TRUE(picture.image().isNull());
}

// A BMP of 8000 x 8000 pixels in 70 bytes: run-length coded, its data only "end of bitmap". Drawn
// full size it takes 256 MB; drawn small it must cost what it shows.
QByteArray rleBomb()
{
    QByteArray b("BM");
    const auto u32 = [&b](quint32 v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&b](quint16 v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    u32(14 + 40 + 8 + 2), u32(0), u32(14 + 40 + 8);
    u32(40), u32(8000), u32(8000), u16(1), u16(8), u32(1 /* RLE8 */), u32(2), u32(2835), u32(2835), u32(2),
        u32(0);
    u32(0x00FF0000), u32(0x000000FF); // palette: red, blue
    b.append("\0\1", 2);
    return b;
}

TEST_F(ViewDrawingTest, HugePicturesAreDecodedAtTheSizeTheyAreDrawn)
{
    StoredPicture bomb;
    bomb.setData(StoredPicture::Bitmap, rleBomb());
    EXPECT_EQ(bomb.size(), QSize(8000, 8000)) << "from the header, nothing decoded";
    const QImage& small = bomb.image(QSize(200, 100));
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(small.size(), QSize(200, 200)) << "proportions kept, covering what is drawn";

    TfrPictureView view;
    view.Left = 0, view.Top = 0, view.Width = 150, view.Height = 150;
    view.FrameTyp = 0;
    view.Flags = ViewFlags::Stretched;
    view.Picture.setData(StoredPicture::Bitmap, rleBomb());
    render(view);
    const QSize kept = view.Picture.image(QSize(150, 150)).size();
    EXPECT_TRUE(kept.width() >= 150 && kept.width() <= 152 && kept.height() == kept.width())
        << "the copy decoded for drawing is kept: " << kept.width() << " x " << kept.height();

    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(Qt::green);
    QByteArray jpeg;
    QBuffer buf(&jpeg);
    buf.open(QIODevice::WriteOnly);
    if (!photo.save(&buf, "JPG"))
        GTEST_SKIP() << "no JPEG writer to make the fixture";
    StoredPicture picture;
    picture.setData(StoredPicture::Jpeg, jpeg);
    EXPECT_EQ(picture.size(), QSize(1600, 1200));
    EXPECT_EQ(picture.image(QSize(100, 75)).size(), QSize(100, 75));
    EXPECT_EQ(picture.image().size(), QSize(1600, 1200)) << "asked without a size: the whole picture";
}

TEST_F(ViewDrawingTest, WideDashedFrameIsParallelDashedLines)
{
    TfrMemoView view;
    view.Left = 10, view.Top = 50, view.Width = 150, view.Height = 60;
    view.FrameTyp = 8; // top only
    view.FrameStyle = psDash;
    view.FrameWidth = 3;
    const QImage image = render(view);
    for (int y : {49, 50, 51}) {
        SCOPED_TRACE(y);
        const int ink = inkInRow(image, y, 10, 160);
        EXPECT_GT(ink, 50);
        EXPECT_LT(ink, 150) << "dashes, not a solid line";
    }
    EXPECT_EQ(inkInRow(image, 48, 0, 200), 0);
    EXPECT_EQ(inkInRow(image, 52, 0, 200), 0);
}

TEST_F(ViewDrawingTest, DoubleFrameDrawsTwoFrameLinesAroundTheFillLine)
{
    TfrMemoView view;
    view.Left = 10, view.Top = 50, view.Width = 150, view.Height = 60;
    view.FrameTyp = 8;
    view.FrameStyle = psDouble;
    view.FrameWidth = 1;
    view.FillColor = clNone;
    const QImage image = render(view);
    EXPECT_GT(inkInRow(image, 49, 10, 160), 140);
    EXPECT_EQ(inkInRow(image, 50, 10, 160), 0) << "the middle line in the (white) fill colour";
    EXPECT_GT(inkInRow(image, 51, 10, 160), 140);
}

TEST_F(ViewDrawingTest, NoFillAndNoFrameWhilePrintingWithoutThem)
{
    TfrMemoView view;
    view.Left = 10, view.Top = 10, view.Width = 50, view.Height = 50;
    view.FrameTyp = 0;
    context.PrintMode = true;
    const QImage image = render(view, Qt::red);
    EXPECT_TRUE(inkBounds(image, nullptr, qRgb(255, 0, 0)).isNull());
    context.PrintMode = false;
    view.FillColor = 0x0000FF00; // green
    EXPECT_EQ(render(view).pixel(30, 30), qRgb(0, 255, 0));
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

class PictureLoadingTest : public test::GlobalsTest { };

TEST_F(PictureLoadingTest, FromFieldsAndFiles)
{
    TfrPictureView view;
    view.BlobType = btICO;
    view.LoadFromField(QVariant(QByteArray("icon bytes")));
    EXPECT_EQ(view.Picture.kind(), StoredPicture::Icon);
    EXPECT_EQ(view.Picture.bytes(), QByteArray("icon bytes"));
    view.LoadFromField(QVariant());
    EXPECT_TRUE(view.Picture.isEmpty()) << "a null field empties the picture";

    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("logo.bmp"));
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bmpBytes(3, 2, Qt::black));
    f.close();
    view.CallMethod(
        QStringLiteral("LoadFromFile"), Value(QStringLiteral("'") + bmp + QStringLiteral("'")), {}, {});
    EXPECT_EQ(view.Picture.kind(), StoredPicture::Bitmap);
    EXPECT_EQ(view.Picture.size(), QSize(3, 2));
    view.CallMethod(QStringLiteral("LOADFROMFILE"), Value(QStringLiteral("'/no/such/file.bmp'")), {}, {});
    EXPECT_TRUE(view.Picture.isEmpty()) << "a missing file empties the picture without an error";
}

} // namespace
} // namespace vaskel
