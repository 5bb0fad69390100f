// Preparing lets window events run between pages: a non-modal preview of an earlier run that
// repaints (and is hovered) meanwhile must leave the run exactly as an undisturbed one.
#include "engine/layout_ReportFixture.h"

#include "platform/SettingsStore.h"
#include "report/preview/PreviewWindows.h"
#include "report/preview/TfrPBox.h"
#include "report/preview/TfrPreviewForm.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace vaskel::test {
namespace {

class RunWhilePreview : public LayoutTest { };

TEST_F(RunWhilePreview, RepaintsBetweenPagesLeaveTheRunAsItWas)
{
    PreviewWindows& host = PreviewWindows::install(globals);
    numbered("Q1", 6);
    printing(MasterData, "Data", 40, 20, "[Q1.KEY] on [PAGE#]", "Q1Set")->Flags |= BandFlags::FormNewPage;
    printing(PageFooter, "Foot", 100, 20, "foot [PAGE#]");
    ASSERT_TRUE(report.Prepare());
    const QList<QStringList> undisturbed = pages();
    ASSERT_EQ(undisturbed.size(), 6);

    QTemporaryDir dir;
    SettingsStore settings(dir.filePath("settings.ini"));
    settings.writeBool(TfrPreviewForm::settingsSection() + "Maximized", false);
    host.onWindowCreated = [&](TfrPreviewForm& f) { f.Settings = &settings; };
    report.ModalPreview = false;
    report.ShowPrepared();
    TfrPreviewForm* shown = host.openWindows().value(0);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->HeldPages->Count(), 6);

    int repaints = 0;
    report.OnProgress = [&](qint32) {
        shown->PgDownClick();
        shown->PageArea->repaint();
        QTest::mouseMove(shown->PageArea, QPoint(shown->PageArea->width() / 2, 50 + repaints));
        ++repaints;
    };
    ASSERT_TRUE(report.Prepare());
    EXPECT_GE(repaints, 6);
    EXPECT_EQ(pages(), undisturbed);
    EXPECT_TRUE(errorBoxes().isEmpty()) << errorBoxes().join('\n').toStdString();
    shown->close(); // before the settings it writes to go away
}

} // namespace
} // namespace vaskel::test
