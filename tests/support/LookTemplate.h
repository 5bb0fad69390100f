#pragma once
// The query window's template, data/look.json, built into a .frf file for a test, optionally with
// some of its views changed first (a memo's text, a band's data source) or only some of them kept,
// so that each test states only how its template differs from the real one; and the objects of prepared pages
// read back from their JSON dump.
#include "platform/DataPaths.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace vaskel::test {

struct ViewChange {
    QString view; // the view's name
    QString key; // its JSON key ("memo", "formatText" …)
    QJsonValue value;
};

// `keep`: the names of the views to keep; empty keeps all.
inline void writeLookTemplate(
    const QString& path, const QList<ViewChange>& changes = {}, const QStringList& keep = {})
{
    QFile in(DataPaths::dataFile(QStringLiteral("look.json")));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << in.fileName().toStdString();
    QJsonObject doc = QJsonDocument::fromJson(in.readAll()).object();
    QJsonArray pages = doc.value("pages").toArray();
    QJsonObject page = pages.at(0).toObject();
    QJsonArray views = page.value("views").toArray();
    for (const ViewChange& c : changes) {
        bool found = false;
        for (qsizetype i = 0; i < views.size(); ++i) {
            QJsonObject v = views.at(i).toObject();
            if (v.value("name").toString() == c.view) {
                v.insert(c.key, c.value);
                views.replace(i, v);
                found = true;
            }
        }
        ASSERT_TRUE(found) << "look.json has no view " << c.view.toStdString();
    }
    if (!keep.isEmpty()) {
        QJsonArray kept;
        for (const QJsonValue& v : views) {
            if (keep.contains(v.toObject().value("name").toString()))
                kept.append(v);
        }
        views = kept;
    }
    page.insert("views", views);
    pages.replace(0, page);
    doc.insert("pages", pages);
    TemplateHolder holder;
    TemplateJson::fromJson(QJsonDocument(doc), holder);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << path.toStdString();
    out.write(TemplateWriter::SaveTemplateToStream(holder));
}

// Every printed object of the pages, in order, as "Name: text" (lines joined with "|").
inline QStringList printedObjects(const QJsonDocument& pagesJson)
{
    QStringList out;
    for (const QJsonValue& page : pagesJson.object().value("pages").toArray()) {
        for (const QJsonValue& o : page.toObject().value("objects").toArray()) {
            QStringList lines;
            for (const QJsonValue& l : o.toObject().value("lines").toArray())
                lines << l.toString();
            out << o.toObject().value("name").toString() + ": " + lines.join('|');
        }
    }
    return out;
}

// The printed objects of a JSON dump that a run wrote (`--json FILE`); none when it wrote none.
inline QStringList printedObjects(const QString& jsonFile)
{
    QFile f(jsonFile);
    return f.open(QIODevice::ReadOnly) ? printedObjects(QJsonDocument::fromJson(f.readAll())) : QStringList();
}

} // namespace vaskel::test
