#pragma once
// Finding views and properties by name across the pages of a report: the names scripts and
// expressions use ("Memo1", "Memo1.Left", "Page2.Orientation", "Font.Name"), and the names given to
// views of old streams that stored none.
#include "report/model/TfrPages.h"

namespace vaskel {

// First view of the page whose `Name` equals `name` ignoring case.
TfrView* FindViewOnPage(const TfrPage& page, const QString& name);
// FindViewOnPage on each page in order.
TfrView* FindViewByName(const TfrPages& pages, const QString& name);

// `NamePrefix` followed by the smallest number from 1 to 10000 that no view of the report has;
// empty when all are taken.
QString GenerateViewName(const TfrPages& pages, const TfrView& view);
// "Page" followed by the smallest number from 1 to 10000 that no page has.
QString GeneratePageName(const TfrPages& pages);

struct ObjectProperty {
    TfrObject* object = nullptr;
    QString property;
};

// Splits "Object.Property" into the object and its property name (see the comment in the
// source); the object is `currentView` for a plain name. The object's property table is built
// when it is empty. The result's object may be null.
ObjectProperty FindObjectProperty(const QString& text, const TfrPages& pages, TfrView* currentView);

} // namespace vaskel
