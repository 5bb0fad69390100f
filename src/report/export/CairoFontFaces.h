#pragma once
// The cairo font faces of one export: each face Qt laid text out in is loaded by cairo-ft from the
// same font file, found by asking fontconfig for the face's family and style name. Where Qt made a
// bold or italic that the file lacks (a CJK family without a bold face), the cairo face makes it
// the same way, with outlines emboldened or slanted by cairo-ft.
#include <QHash>
#include <QString>

#include <cairo.h>

class QRawFont;

namespace vaskel {

class CairoFontFaces {
public:
    CairoFontFaces() = default;
    ~CairoFontFaces();
    CairoFontFaces(const CairoFontFaces&) = delete;
    CairoFontFaces& operator=(const CairoFontFaces&) = delete;

    // The face of `font` as Qt drew it when asked for `bold` and `italic`; owned by this cache,
    // null when fontconfig knows no file for it.
    cairo_font_face_t* face(const QRawFont& font, bool bold, bool italic);

private:
    QHash<QString, cairo_font_face_t*> m_faces;
};

} // namespace vaskel
