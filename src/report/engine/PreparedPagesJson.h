#pragma once
// The prepared pages as JSON, for people and for tests of the layout engine: every page with its
// paper, and every object with its type, name, rectangle (report units), frame and fill colours
// (0x00BBGGRR), and for text objects the font and the printed lines, in drawing order.
//
// Pages are decoded for the dump and released again unless they were already decoded.
#include <QJsonDocument>

#include <functional>

namespace vaskel {

class TfrEMFPages;

namespace PreparedPagesJson {

QJsonDocument toJson(TfrEMFPages& pages);
// The text of toJson (TemplateJson::toText's spelling), handed to `sink` page by page, so that a
// report of thousands of pages never stands in memory as one document.
void writeText(TfrEMFPages& pages, const std::function<void(const QByteArray&)>& sink);

} // namespace PreparedPagesJson

} // namespace vaskel
