#pragma once
// A report with hand-made prepared pages (A4 pages of the virtual printer, a memo per page that
// names it, optional link memos), the preview host installed, and a settings file of the test's
// own; plus helpers to open a preview window on the pages and to size its page area.
#include "support/TestGlobals.h"

#include "platform/SettingsStore.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "report/preview/PreviewWindows.h"
#include "report/preview/TfrPBox.h"
#include "report/preview/TfrPreviewForm.h"

#include <QApplication>
#include <QTemporaryDir>

namespace vaskel::test {

class PreviewTest : public GlobalsTest {
protected:
    PreviewTest() : host(PreviewWindows::install(globals)), settings(dir.filePath("settings.ini")) { }

    // `count` pages of paper (code, width, height in tenths of a millimetre), each with a memo
    // "Page N" at the top left.
    static void addPages(TfrEMFPages& store, int count, int paper = 9, int w = 2100, int h = 2970)
    {
        TfrPage templatePage(&frPrinter(), paper, w, h, TfrPage::kDefaultBin, 0);
        for (int i = 0; i < count; ++i) {
            const int index = store.Count();
            store.InsertPage(index, templatePage);
            TfrMemoView memo;
            memo.Name = QStringLiteral("Memo1");
            memo.Left = 40;
            memo.Top = 40;
            memo.Width = 300;
            memo.Height = 20;
            memo.Font.Name = QStringLiteral("Arial");
            memo.ExpandedText = {QStringLiteral("Page %1").arg(index + 1)};
            emitView(store, index, memo);
        }
    }
    // A link memo ("URL…" name) with `tag` at (left, top) of page `index`, 100 × 20 units.
    static void addLink(TfrEMFPages& store, int index, const QString& tag, int left = 100, int top = 200)
    {
        TfrMemoView link;
        link.Name = QStringLiteral("URL1");
        link.Left = left;
        link.Top = top;
        link.Width = 100;
        link.Height = 20;
        link.Tag = tag;
        link.ExpandedText = {tag};
        emitView(store, index, link);
    }
    static void emitView(TfrEMFPages& store, int index, TfrView& view)
    {
        ReportStreamWriter w = store.RecordWriter(index);
        PreparedObjectEntry::write(view, w);
        store.AppendRecords(index, w);
    }

    // A non-modal window on the report's pages with a page area of `area` pixels, shown.
    TfrPreviewForm& open(QSize area = QSize(800, 600))
    {
        report.ModalPreview = false;
        settings.writeBool(TfrPreviewForm::settingsSection() + "Maximized", false);
        host.onWindowCreated = [this](TfrPreviewForm& f) { f.Settings = &settings; };
        report.ShowPrepared();
        TfrPreviewForm* form = host.openWindows().value(0);
        EXPECT_NE(form, nullptr);
        setArea(*form, area);
        return *form;
    }
    // Gives the page area exactly `area` pixels (the window grows around it).
    static void setArea(TfrPreviewForm& form, QSize area)
    {
        for (int i = 0; i < 3 && form.PageArea->size() != area; ++i) {
            form.resize(form.size() + area - form.PageArea->size());
            QApplication::processEvents();
        }
    }

    int messageBoxes() const { return int(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size()); }

    QTemporaryDir dir;
    PreviewWindows& host;
    SettingsStore settings;
    TfrReport report;
};

} // namespace vaskel::test
