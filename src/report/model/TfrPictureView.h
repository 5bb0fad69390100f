#pragma once
// A picture view: a bitmap, metafile, icon or JPEG picture stored in the template, taken from a
// database field (`LoadFromField`) or from a file (script method "LOADFROMFILE"), drawn stretched,
// centred or at its natural size in the view's rectangle.
#include "report/model/StoredPicture.h"
#include "report/model/TfrView.h"

namespace vaskel {

namespace PictureFlags {
inline constexpr quint16 Center = 0x0002;
inline constexpr quint16 KeepAspect = 0x0004;
} // namespace PictureFlags

// Kind of picture held in a database field (numbered unlike StoredPicture::Kind).
enum TfrBlobType : quint8 { btBMP = 0, btJPG = 1, btICO = 2, btWMF = 3 };

class TfrPictureView : public TfrView {
public:
    TfrPictureView();

    StoredPicture Picture;
    quint8 BlobType = btBMP;

    QString ClassName() const override { return QStringLiteral("TfrPictureView"); }

    const ViewFieldTable& Fields() const override;
    // "PICTURE" by name: reading gives a reference to this view's picture, writing a reference
    // copies that picture in (null or empty clears it); anything else is refused.
    void WriteProp(const QString& name, const Value& value) override;
    Value ReadProp(const QString& name) override;
    Value CallMethod(const QString& name, const Value& a, const Value& b, const Value& c) override;

    void ReadRecord(ReportStreamReader& reader) override;
    void WriteRecord(ReportStreamWriter& writer) override;
    void LoadFromField(const QVariant& content) override;
    void Paint(QPainter& canvas, const PrintContext& ctx) override;

    // The rectangle (device units) the picture is drawn into, from `DrawRect` after ApplyZoom.
    QRect PictureRect() const;
};

} // namespace vaskel
