#pragma once
// A view: a rectangle on a template page (or on a prepared page) with a frame, a fill colour, a
// text list and a few flags. Every object a report prints is a view; the subclasses add text,
// pictures, lines, bands and sub-reports. The same objects are the template read from a stream,
// what the layout engine prints into prepared pages, and what the prepared-page drawing re-creates
// to paint.
//
// Units: `Left`, `Top`, `Width`, `Height`, `GapX`, `GapY` are report units (93 / 1.015 per inch);
// `FrameWidth` is a fraction in report units. While drawing, `ApplyZoom` turns them into device
// units and `RestoreGeometry` puts the stored values back bit for bit: the two always come in
// pairs around one drawing. Fields keep their legacy names; they are public because scripts, the
// stream and the layout engine all work on them directly, as the format defines them.
#include "report/model/PrintContext.h"
#include "report/model/ReportPrintHooks.h"
#include "report/model/ReportRect.h"
#include "report/model/TfrObject.h"

#include <QRegion>
#include <QStringList>
#include <QVariant>

class QPainter;

namespace vaskel {

class ReportStreamReader;
class ReportStreamWriter;
class TfrBand;
class TfrDataset;
class TfrPage;
class ViewFieldTable;

// Bits of `Flags` shared by every view.
namespace ViewFlags {
inline constexpr quint16 Stretched = 0x0001;
inline constexpr quint16 NotifyAfterMemo = 0x8000; // NotifyView after every memo view is printed
} // namespace ViewFlags

// Frame sides of `FrameTyp`.
namespace FrameSides {
inline constexpr quint16 Right = 1;
inline constexpr quint16 Bottom = 2;
inline constexpr quint16 Left = 4;
inline constexpr quint16 Top = 8;
} // namespace FrameSides

enum TfrBandAlign : quint8 { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baTop, baRest };
enum TfrFrameStyle : quint16 { psSolid, psDash, psDot, psDashDot, psDashDotDot, psDouble };

inline constexpr quint32 clNone = 0x1FFFFFFF; // no colour: transparent fill
inline constexpr quint32 clBtnFace = 0xFF00000F; // the system button-face colour
inline constexpr quint32 clWhite = 0x00FFFFFF;

class TfrView : public TfrObject {
public:
    TfrView();

    // The geometry ApplyZoom changes, kept unscaled until RestoreGeometry.
    struct Geometry {
        qint32 Left = 0, Top = 0, Width = 0, Height = 0;
        qint32 GapX = 0, GapY = 0;
        float FrameWidth = 0;
    };

    bool LayoutDeferred = false;
    qint32 DesignHeight = 0;
    Geometry SavedGeometry;
    QString NamePrefix = QStringLiteral("View");
    QPainter* DrawSurface = nullptr; // not owned
    ReportRect DrawRect; // device units, inside the frame lines
    QStringList ExpandedText;
    TfrDataset* DataSetRef = nullptr; // not owned
    QString DataFieldName;
    bool PreparedMode = false;
    QString Name;
    quint8 TypeCode = 10;
    quint8 RecordVersion = 0;
    quint8 RecordRevision = 0;
    qint32 SerialId = 0;
    bool LayoutPending = false;
    ReportRect LayoutSavedBounds;
    double ZoomX = 1.0, ZoomY = 1.0;
    qint32 ShiftX = 0, ShiftY = 0;
    bool ForPrinter = false;
    qint32 Left = 0, Top = 0, Width = 0, Height = 0;
    quint16 Flags = ViewFlags::Stretched;
    quint16 FrameTyp = 0;
    float FrameWidth = 1.0f;
    quint32 FrameColor = 0;
    quint16 FrameStyle = psSolid;
    quint32 FillColor = clNone;
    qint32 FormatCode;
    QString FormatText;
    bool Visible = true;
    qint32 GapX = 2, GapY = 1;
    quint8 Restrictions = 0;
    QString Tag;
    QStringList Memo;
    QStringList BeforePrintScript;
    quint8 BandAlign = baNone;
    TfrBand* OwnerBand = nullptr; // not owned
    TfrPage* OwnerPage = nullptr; // not owned

    // The class name a stream stores for type code 10 (add-in classes, controls).
    virtual QString ClassName() const { return QStringLiteral("TfrView"); }

    // The fields of the view's kind: what scripts reach by name, what the property table lists,
    // what the text form stores and the ranges readers check. Built once per kind.
    virtual const ViewFieldTable& Fields() const;

    // By name through Fields(); a kind with more to do on a read or write (a band in a run) wraps
    // these.
    void WriteProp(const QString& name, const Value& value) override;
    Value ReadProp(const QString& name) override;
    Value CallMethod(const QString& name, const Value& a, const Value& b, const Value& c) override;
    // The entries Fields() lists for this view.
    void BuildPropertyTable() final;

    // Fill and frame, after ApplyZoom; nothing in the first pass of two or without a canvas.
    void PaintFill(const PrintContext& ctx);
    void PaintBorder(const PrintContext& ctx);
    // Takes content from a database field: a null QVariant for a null field, QByteArray for
    // binary content, text otherwise. Views without field content ignore it.
    virtual void LoadFromField(const QVariant& content);
    virtual void NotifyView(TfrView* printed);
    virtual void FinishLoading() { }
    // Outside print mode (a template in a designer) the view is drawn unzoomed and unshifted.
    void ApplyZoom(const PrintContext& ctx);
    void RestoreGeometry();
    // Draws the view on `canvas` at its zoom and shift; reads nothing but the view and `ctx`.
    virtual void Paint(QPainter& canvas, const PrintContext& ctx) = 0;
    // Writes the printed copy of the view into a prepared page while a band prints: runs the
    // report's before-print step and the view's script, expands `[ ]` in the tag, places the view
    // by its band alignment and writes the entry in prepared form. An invisible view writes
    // nothing. The layout engine has moved the view to its place on the output page; `ctx` names
    // the page, the band being printed and the report's before-print step.
    virtual void EmitPrepared(ReportStreamWriter& out, const PrintContext& ctx);

    // The object record, in template form or (with `PreparedMode`) in prepared form.
    virtual void ReadRecord(ReportStreamReader& reader);
    virtual void WriteRecord(ReportStreamWriter& writer);
    // Whether ReadRecord found a stored name (otherwise the reader generates one).
    static bool RecordHasName(int streamVersion, bool preparedMode);

    // Window region of the view and its frame, in report units; enlarged by 10 units each side.
    virtual QRegion MakeHitRegion(bool enlarged) const;

    // Remembers the canvas and applies `BandAlign` within the limits of `ctx`'s page.
    void PlaceLayout(QPainter* canvas, const PrintContext& ctx);

    // The stored 16-bit restrictions word: `Restrictions` in the low byte, the high byte as read.
    quint16 RestrictionsWord() const
    {
        return static_cast<quint16>(Restrictions | (m_restrictionsHigh << 8));
    }
    void SetRestrictionsWord(quint16 word)
    {
        Restrictions = static_cast<quint8>(word & 0xFF);
        m_restrictionsHigh = static_cast<quint8>(word >> 8);
    }

    // The text of `Memo` as one string (lines joined with CR LF).
    QString MemoText() const;
    void SetMemoText(const QString& text);

protected:
    // Cross header, cross data and cross footer bands print vertical strips.
    static bool IsCrossBand(int kind);
    // Runs the compiled `BeforePrintScript` (the layout engine compiles scripts before a run).
    void RunBeforePrintScript();
    // `ExpandedText` := `Memo`, then the report's before-print step may load a large-object field
    // or let `OnBeforePrint` change the text. True when the text changed.
    bool RunBeforePrintStep(const PrintContext& ctx);
    // Replaces the `[ ]` expressions of `Tag` by their values; the caller restores the tag.
    void ExpandTag();

    // Shared by the memo's "LINES" list: the list methods of `CallMethod` on `Memo`.
    bool CallListMethod(const QString& listName, const QString& method, const Value& a, const Value& b,
        const Value& c, Value& result);
    // The hit region from the edges of a view and its frame, in report units; with `enlarged`,
    // 10 units more on each side.
    static QRegion HitRegion(qint32 left, qint32 top, qint32 right, qint32 bottom, bool enlarged);

private:
    quint8 m_restrictionsHigh = 0; // kept as read; the format stores restrictions in 16 bits
};

// Splits text into lines at CR LF, CR or LF, as a text list's text property does.
QStringList splitTextLines(const QString& text);

} // namespace vaskel
