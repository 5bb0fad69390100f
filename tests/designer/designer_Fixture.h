#pragma once
// A designer window on the query window's template, look.frf built from data/look.json as the
// build ships it, in a fresh engine state with a scripted UI (questions, file dialogs and error
// boxes are answered and recorded by the test). Helpers find views by name and compare saved
// templates through their JSON form.
#include "designer/DesignDocument.h"
#include "designer/DesignerWindow.h"
#include "designer/ObservedUi.h"
#include "designer/PageCanvas.h"
#include "designer/PropertyInspector.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateReader.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrView.h"
#include "support/LookTemplate.h"
#include "support/TestGlobals.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace vaskel::test {

class DesignerTest : public GlobalsTest {
protected:
    void SetUp() override
    {
        // As `vaskel design` runs: the services observed, so the reader's messages are seen.
        auto scripted = std::make_unique<ScriptedUi>();
        scriptedUi = scripted.get();
        globals.setUi(std::make_unique<ObservedUi>(std::move(scripted)));
        ASSERT_TRUE(dir.isValid());
        look = dir.filePath("look.frf");
        writeLookTemplate(look);
        window = std::make_unique<DesignerWindow>();
        ASSERT_TRUE(window->openFile(look));
        canvas = window->currentCanvas();
        ASSERT_NE(canvas, nullptr);
        canvas->resize(canvas->sizeHint());
    }

    TfrPage* page() const { return canvas->page(); }
    TfrView* view(const QString& name) const
    {
        for (const auto& v : page()->ObjectList)
            if (v->Name == name)
                return v.get();
        ADD_FAILURE() << "no view " << name.toStdString();
        return nullptr;
    }
    QRect rectOf(const QString& name) const
    {
        const TfrView* v = view(name);
        return QRect(v->Left, v->Top, v->Width, v->Height);
    }
    // The pixel at the middle of a view on the canvas.
    QPoint centreOf(const QString& name) const { return canvas->toPixels(rectOf(name)).center(); }
    std::vector<TfrView*> views(const QStringList& names) const
    {
        std::vector<TfrView*> out;
        for (const QString& n : names)
            out.push_back(view(n));
        return out;
    }
    QStringList selectedNames() const
    {
        QStringList names;
        for (const TfrView* v : canvas->selection())
            names << v->Name;
        return names;
    }
    DesignDocument& doc() { return window->document(); }

    QTemporaryDir dir;
    QString look;
    std::unique_ptr<DesignerWindow> window;
    PageCanvas* canvas = nullptr;
};

// A template file's JSON form without its last-change date, which every save writes anew.
inline QJsonObject templateJson(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << fileName.toStdString();
        return {};
    }
    TemplateHolder holder;
    TemplateReader::LoadTemplateFromStream(holder, f.readAll(), TemplateReader::StreamSource::Memory);
    QJsonObject json = TemplateJson::toJson(holder).object();
    QJsonObject info = json.value("info").toObject();
    info.remove("lastChanged");
    json.insert("info", info);
    return json;
}

// The views of page 0 by name.
inline QMap<QString, QJsonObject> viewsByName(const QJsonObject& json)
{
    QMap<QString, QJsonObject> out;
    for (const QJsonValue& v : json.value("pages").toArray().at(0).toObject().value("views").toArray())
        out.insert(v.toObject().value("name").toString(), v.toObject());
    return out;
}

inline QByteArray fileBytes(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace vaskel::test
