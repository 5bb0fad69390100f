#include "report/model/TfrPictureView.h"

#include "platform/MetafilePlayer.h"
#include "platform/Rounding.h"
#include "report/model/EStreamError.h"
#include "report/model/ExpressionHook.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewFieldTable.h"

#include <QFileInfo>
#include <QMutex>
#include <QPainter>

#include <cmath>
#include <unordered_map>

namespace vaskel {

namespace {

StoredPicture::Kind kindOfBlob(quint8 blobType)
{
    switch (blobType) {
    case btJPG:
        return StoredPicture::Jpeg;
    case btICO:
        return StoredPicture::Icon;
    case btWMF:
        return StoredPicture::Metafile;
    default:
        return StoredPicture::Bitmap;
    }
}

const TfrPictureView& pictureOf(const TfrView& v)
{
    return static_cast<const TfrPictureView&>(v);
}

TfrPictureView& pictureOf(TfrView& v)
{
    return static_cast<TfrPictureView&>(v);
}

// References handed to scripts by "PICTURE". A script passes one from a view to another
// (`Picture2.Picture := Picture1.Picture`), so a reference is a number the language can carry. Each
// view keeps one slot, filled anew on every read; a slot holds a copy of the picture (its bytes
// are shared, not copied), so a reference never points into a view that is gone. References start
// far above the small numbers scripts write by mistake, and those are refused, not taken as one.
class PictureReferences {
public:
    static PictureReferences& instance()
    {
        static PictureReferences refs;
        return refs;
    }

    qint32 take(const TfrPictureView& view)
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_slotOfView.find(&view);
        if (it == m_slotOfView.end()) {
            it = m_slotOfView.emplace(&view, qint32(m_pictures.size())).first;
            m_pictures.emplace_back();
        }
        m_pictures[size_t(it->second)] = view.Picture;
        return kFirst + it->second;
    }

    std::optional<StoredPicture> find(const Value& ref)
    {
        if (!ref.isIntegral() && ref.kind() != TfrValueKind::Float)
            return std::nullopt;
        const double n = ref.toNumber();
        QMutexLocker lock(&m_mutex);
        if (n < kFirst || n >= double(kFirst) + double(m_pictures.size()) || n != std::floor(n))
            return std::nullopt;
        return m_pictures[size_t(n - kFirst)];
    }

private:
    static constexpr qint32 kFirst = 0x40000000;
    QMutex m_mutex;
    std::unordered_map<const TfrPictureView*, qint32> m_slotOfView;
    std::vector<StoredPicture> m_pictures;
};

bool isPictureName(const QString& name)
{
    return name.compare(QLatin1String("PICTURE"), Qt::CaseInsensitive) == 0;
}

} // namespace

TfrPictureView::TfrPictureView()
{
    TypeCode = 1;
    NamePrefix = QStringLiteral("Picture");
    Flags = ViewFlags::Stretched | PictureFlags::KeepAspect;
}

const ViewFieldTable& TfrPictureView::Fields() const
{
    using F = FieldValue;
    using V = TfrView;
    static const ViewFieldTable table(sharedViewFields(),
        {
            {.name = "Picture",
                .key = "picture",
                .kind = FieldKind::Picture,
                .get = [](const V& v) -> F {
                    const StoredPicture& p = pictureOf(v).Picture;
                    return p.isEmpty() ? PictureBytes{} : PictureBytes{p.kind(), p.bytes()};
                },
                .set =
                    [](V& v, const F& x) {
                        const auto& p = std::get<PictureBytes>(x);
                        pictureOf(v).Picture.setData(static_cast<StoredPicture::Kind>(p.kind), p.bytes);
                    },
                .byName = false,
                .listFlags = PropFlags::Editor,
                .listed = true},
            listingEntry("Stretched", PropFlags::Boolean),
            flagField("Center", PictureFlags::Center),
            flagField("KeepAspect", PictureFlags::KeepAspect),
            listingEntry("DataField", PropFlags::Named | PropFlags::Editor | PropFlags::Text),
            {.name = "BlobType",
                .key = "blobType",
                .kind = FieldKind::UInt8,
                .get = [](const V& v) -> F { return qint64(pictureOf(v).BlobType); },
                .set = [](V& v, const F& x) { pictureOf(v).BlobType = quint8(wholeOf(x)); },
                .listed = true,
                .enumNames = "btBMP;btJPG;btICO;btWMF"},
        });
    return table;
}

void TfrPictureView::WriteProp(const QString& name, const Value& value)
{
    if (!isPictureName(name)) {
        TfrView::WriteProp(name, value);
        return;
    }
    if (value.isNull() || value.isEmpty()) {
        Picture.clear();
        return;
    }
    std::optional<StoredPicture> picture = PictureReferences::instance().find(value);
    if (!picture)
        throw VaskelError(QStringLiteral("Property %1 of %2 cannot be set: %3")
                              .arg(QStringLiteral("Picture"), Name,
                                  QStringLiteral("%1 is not a picture").arg(value.toText())));
    Picture = std::move(*picture);
}

Value TfrPictureView::ReadProp(const QString& name)
{
    if (!isPictureName(name))
        return TfrView::ReadProp(name);
    return Value(PictureReferences::instance().take(*this));
}

Value TfrPictureView::CallMethod(const QString& name, const Value& a, const Value& b, const Value& c)
{
    Value result = TfrView::CallMethod(name, a, b, c);
    if (!result.isNull() || name.compare(QLatin1String("LOADFROMFILE"), Qt::CaseInsensitive) != 0)
        return result;
    const QString fileName = ExpressionHook::evaluate(a.toText()).toText();
    if (fileName.isEmpty() || !QFileInfo::exists(fileName)) {
        Picture.clear();
        return result;
    }
    if (!StoredPicture::kindOfFile(fileName))
        throw VaskelError(
            QStringLiteral("Unknown picture file extension (.%1)").arg(QFileInfo(fileName).suffix()));
    if (!Picture.loadFromFile(fileName))
        throw VaskelError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    return result;
}

void TfrPictureView::ReadRecord(ReportStreamReader& r)
{
    TfrView::ReadRecord(r);
    const quint8 kind = r.readU8();
    if (RecordVersion * 10 + RecordRevision > 10)
        BlobType = r.readU8();
    const qint32 end = r.readI32();
    if (end < r.pos() || end > r.size())
        r.fail(QStringLiteral("picture end position %1").arg(end));
    if (kind > StoredPicture::Jpeg)
        r.fail(QStringLiteral("picture kind %1").arg(kind));
    const QByteArray bytes = r.readBytes(end - r.pos());
    Picture.setData(static_cast<StoredPicture::Kind>(kind), bytes);
}

void TfrPictureView::WriteRecord(ReportStreamWriter& w)
{
    TfrView::WriteRecord(w);
    w.writeU8(Picture.isEmpty() ? StoredPicture::None : Picture.kind());
    w.writeU8(BlobType);
    const qint64 placeholder = w.pos();
    w.writeI32(0);
    if (!Picture.isEmpty())
        w.writeBytes(Picture.bytes());
    w.patchI32(placeholder, static_cast<qint32>(w.pos()));
}

void TfrPictureView::LoadFromField(const QVariant& content)
{
    if (content.isNull()) {
        Picture.clear();
        return;
    }
    Picture.setData(kindOfBlob(BlobType), content.toByteArray());
}

QRect TfrPictureView::PictureRect() const
{
    const QSize natural = Picture.size();
    const double pw = natural.width(), ph = natural.height();
    const bool centre = Flags & PictureFlags::Center;
    if (Flags & ViewFlags::Stretched) {
        ReportRect r = DrawRect;
        if ((Flags & PictureFlags::KeepAspect) && pw > 0 && ph > 0) {
            const double kx = Width / pw, ky = Height / ph;
            if (kx >= ky)
                r.Right = DrawRect.Left + roundToInt(pw * ky);
            else
                r.Bottom = DrawRect.Top + roundToInt(ph * kx);
            if (centre) {
                const qint32 dx = (DrawRect.width() - r.width()) / 2;
                const qint32 dy = (DrawRect.height() - r.height()) / 2;
                r = ReportRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
            }
        }
        return r.toQRect();
    }
    const qint32 w = roundToInt(pw * ZoomX), h = roundToInt(ph * ZoomY);
    qint32 x = DrawRect.Left, y = DrawRect.Top;
    if (centre) {
        x += (DrawRect.width() - w) / 2;
        y += (DrawRect.height() - h) / 2;
    }
    return QRect(x, y, w, h);
}

void TfrPictureView::Paint(QPainter& canvas, const PrintContext& ctx)
{
    PlaceLayout(&canvas, ctx);
    ApplyZoom(ctx);
    PaintFill(ctx);
    if (!Picture.isEmpty() && !ctx.FirstPass) {
        if (Picture.kind() == StoredPicture::Metafile) {
            // Played record by record into the rectangle, on every surface; a damaged metafile
            // draws what is valid of it.
            MetafilePlayer::play(canvas, Picture.bytes(), PictureRect());
        } else {
            // Decoded at the size it lands on the device, not at its own: a huge bitmap drawn
            // small costs what it shows.
            const QRect target = PictureRect();
            const QSize drawn
                = canvas.transform().mapRect(QRectF(target)).size().toSize().expandedTo(QSize(1, 1));
            const QImage& img = Picture.image(drawn);
            // Icons are not sent to a printer.
            const bool drawable = !img.isNull() && !(ForPrinter && Picture.kind() == StoredPicture::Icon);
            if (drawable) {
                canvas.save();
                canvas.setRenderHint(QPainter::SmoothPixmapTransform, true);
                canvas.drawImage(target, img);
                canvas.restore();
            }
        }
    }
    PaintBorder(ctx);
    RestoreGeometry();
}

} // namespace vaskel
