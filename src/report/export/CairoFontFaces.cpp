#include "report/export/CairoFontFaces.h"

#include <QRawFont>

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

namespace vaskel {

CairoFontFaces::~CairoFontFaces()
{
    for (cairo_font_face_t* f : std::as_const(m_faces))
        if (f)
            cairo_font_face_destroy(f);
}

cairo_font_face_t* CairoFontFaces::face(const QRawFont& font, bool bold, bool italic)
{
    const QString key
        = font.familyName() + u'\n' + font.styleName() + u'\n' + QChar(u'0' + bold) + QChar(u'0' + italic);
    if (const auto it = m_faces.constFind(key); it != m_faces.constEnd())
        return *it;

    cairo_font_face_t* result = nullptr;
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(
        query, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.familyName().toUtf8().constData()));
    FcPatternAddString(
        query, FC_STYLE, reinterpret_cast<const FcChar8*>(font.styleName().toUtf8().constData()));
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, query, &status);
    FcPatternDestroy(query);
    if (match) {
        int weight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        // Qt emboldens a face lighter than demibold when bold was asked for, and slants an upright
        // one when italic was; cairo-ft does the same on fontconfig's flags.
        FcPatternDel(match, FC_EMBOLDEN);
        FcPatternAddBool(match, FC_EMBOLDEN, bold && weight < FC_WEIGHT_DEMIBOLD ? FcTrue : FcFalse);
        result = cairo_ft_font_face_create_for_pattern(match);
        FcPatternDestroy(match);
        if (cairo_font_face_status(result) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(result);
            result = nullptr;
        } else if (italic && slant == FC_SLANT_ROMAN) {
            cairo_ft_font_face_set_synthesize(result, CAIRO_FT_SYNTHESIZE_OBLIQUE);
        }
    }
    m_faces.insert(key, result);
    return result;
}

} // namespace vaskel
