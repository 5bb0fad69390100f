// The scripted UI that tests and the command line run with, the locale figures taken from Qt, and
// the per-user settings file.
#include "platform/LocaleSettings.h"
#include "platform/ScriptedUi.h"
#include "platform/SettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

namespace vaskel {
namespace {

using Kind = Interaction::Kind;

TEST(ScriptedUi, MessageBoxesAnswerAsQueuedThenByDefaultAndAreRecorded)
{
    ScriptedUi ui;
    QStringList seen;
    ui.onInteraction = [&](const Interaction& i) { seen << i.text; };
    ui.queueModalResult(ModalResult::No);
    ui.queueModalResult(ModalResult::Cancel);

    EXPECT_EQ(
        ui.messageBox("Vaskel", "first", MessageIcon::Question, MessageButtons::YesNo), ModalResult::No);
    EXPECT_EQ(ui.messageBox("Vaskel", "second", MessageIcon::Warning, MessageButtons::OkCancel),
        ModalResult::Cancel);
    EXPECT_EQ(
        ui.messageBox("Vaskel", "third", MessageIcon::None, MessageButtons::YesNoCancel), ModalResult::Yes);
    EXPECT_EQ(
        ui.messageBox("Vaskel", "fourth", MessageIcon::Information, MessageButtons::Ok), ModalResult::Ok);

    const QList<Interaction> boxes = ui.interactionsOf(Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 4);
    EXPECT_EQ(boxes[0].caption, "Vaskel");
    EXPECT_EQ(boxes[0].flags, 32 + 4); // icon | buttons, as scripts pass them
    EXPECT_EQ(boxes[1].flags, 48 + 1);
    EXPECT_EQ(seen, (QStringList{"first", "second", "third", "fourth"}));
}

TEST(ScriptedUi, ShowErrorUsesTheStandardErrorBox)
{
    ScriptedUi ui;
    ui.showError("Unsupported FRF format");
    ASSERT_EQ(ui.interactions().size(), 1);
    const Interaction& box = ui.interactions().front();
    EXPECT_EQ(box.kind, Kind::MessageBox);
    EXPECT_EQ(box.caption, UiServices::applicationTitle());
    EXPECT_EQ(box.text, "Unsupported FRF format.");
    EXPECT_EQ(box.flags, static_cast<int>(MessageIcon::Error) | static_cast<int>(MessageButtons::Ok));
}

TEST(ScriptedUi, TextAndFileQuestionsAnswerAsQueued)
{
    ScriptedUi ui;
    ui.queueText(QString("12"));
    ui.queueText(std::nullopt);
    ui.queueText(QString("secret"));
    ui.queueFileName("/tmp/a.frp");

    EXPECT_EQ(ui.inputBox("Copies", "Number of copies:", "1"), std::optional<QString>("12"));
    EXPECT_EQ(ui.inputBox("Copies", "Number of copies:", "1"), std::nullopt);
    EXPECT_EQ(ui.password("Password", "Enter password for opening report"), std::optional<QString>("secret"));
    // Queues empty: the input box answers its default text, the password window is cancelled.
    EXPECT_EQ(ui.inputBox("Copies", "Number of copies:", "1"), std::optional<QString>("1"));
    EXPECT_EQ(ui.password("Password", "Enter password for opening report"), std::nullopt);

    EXPECT_EQ(ui.openFileName("Open report", "/tmp", "Report file (*.frp)"), "/tmp/a.frp");
    EXPECT_EQ(ui.saveFileName("Save report", "/home", "Report file (*.frp)", "frp"), QString());

    const QList<Interaction> log = ui.interactions();
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[0].kind, Kind::InputBox);
    EXPECT_EQ(log[0].text, "Number of copies:");
    EXPECT_EQ(log[2].kind, Kind::Password);
    EXPECT_EQ(log[5].kind, Kind::OpenFile);
    EXPECT_EQ(log[6].kind, Kind::SaveFile);
    EXPECT_EQ(log[6].text, "/home");

    ui.showHelp(204, "Find text");
    ui.openUrl(QUrl("https://example.org/a"));
    EXPECT_EQ(ui.interactionsOf(Kind::Help).value(0).flags, 204);
    EXPECT_EQ(ui.interactionsOf(Kind::OpenUrl).value(0).text, "https://example.org/a");

    ui.clear();
    EXPECT_TRUE(ui.interactions().isEmpty());
}

TEST(ScriptedUi, ProgressRunsTheWorkAndCancelsWhenTold)
{
    ScriptedUi ui;
    int steps = 0;
    const auto countUntilCancel = [&](ProgressControl& p) {
        for (steps = 0; steps < 10 && !p.cancelRequested(); ++steps)
            p.setText(QString("Processing page:  %1").arg(steps + 2));
    };

    ui.cancelProgressAfter(2);
    EXPECT_EQ(
        ui.runWithProgress("Preparing report", "Processing page:  1", countUntilCancel), ModalResult::Cancel);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(ui.progressLines(),
        (QStringList{"Processing page:  1", "Processing page:  2", "Processing page:  3"}));

    // The scripted Cancel was for that window only.
    EXPECT_EQ(ui.runWithProgress("Preparing report", "", countUntilCancel), ModalResult::Ok);
    EXPECT_EQ(steps, 10);
    EXPECT_EQ(ui.interactionsOf(Kind::Progress).size(), 2);
}

TEST(ScriptedUi, ProgressResultIsTheFirstClose)
{
    ScriptedUi ui;
    ui.cancelProgressAfter(0);
    bool cancelSeen = true;
    const ModalResult r = ui.runWithProgress("Printing", "Printing page:", [&](ProgressControl& p) {
        p.close(ModalResult::Ok);
        cancelSeen = p.cancelRequested(); // the window is closed: no Cancel can come any more
    });
    EXPECT_EQ(r, ModalResult::Ok);
    EXPECT_FALSE(cancelSeen);
}

TEST(ScriptedUi, ScriptedCancelDoesNotOutliveAWorkThatThrew)
{
    ScriptedUi ui;
    ui.cancelProgressAfter(5);
    EXPECT_THROW(
        ui.runWithProgress("Preparing report", "", [](ProgressControl&) { throw std::runtime_error("x"); }),
        std::runtime_error);
    bool cancelled = true;
    EXPECT_EQ(ui.runWithProgress("Preparing report", "",
                  [&](ProgressControl& p) {
                      for (int i = 0; i < 10; ++i)
                          cancelled = p.cancelRequested();
                  }),
        ModalResult::Ok);
    EXPECT_FALSE(cancelled);
}

TEST(UiServices, ErrorBoxTextAddsAFullStopAfterCharactersAboveIt)
{
    struct Case {
        const char* name;
        const char* message;
        const char* shown;
    } cases[] = {
        {"letter", "Unsupported FRF format", "Unsupported FRF format."},
        {"full stop kept single", "Done.", "Done."},
        {"digit is above the full stop", "Page 5", "Page 5."},
        {"slash is just above it", "D:/date/", "D:/date/."},
        {"hyphen is just below it", "value -", "value -"},
        {"comma is below it", "a,", "a,"},
        {"closing quote is below it", "Undefined symbol \"X\"", "Undefined symbol \"X\""},
        {"exclamation mark is below it", "Stop!", "Stop!"},
        {"closing bracket is below it", "(none)", "(none)"},
        {"Chinese character is above it", "合计 元", "合计 元."},
        {"empty message stays empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UiServices::errorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown));
    }
}

TEST(LocaleSettings, QtPatternsBecomeReportPatterns)
{
    struct Case {
        const char* name;
        const char* qt;
        const char* report;
    } cases[] = {
        {"US short date", "M/d/yy", "m/d/yy"},
        {"US long date", "dddd, MMMM d, yyyy", "dddd, mmmm d, yyyy"},
        {"US time with marker and zone", "h:mm:ss AP t", "h:nn:ss AMPM"},
        {"lower-case marker", "h:mm ap", "h:nn AMPM"},
        {"marker first, Korean", "AP h:mm", "AMPM h:nn"},
        {"24-hour German", "HH:mm:ss t", "hh:nn:ss"},
        {"zone first, Chinese", "t HH:mm:ss", "hh:nn:ss"},
        {"zone in brackets, Spanish", "H:mm:ss (t)", "h:nn:ss"},
        {"German long date", "dddd, d. MMMM yyyy", "dddd, d. mmmm yyyy"},
        {"quoted words", "dddd, d 'de' MMMM 'de' yyyy", "dddd, d \"de\" mmmm \"de\" yyyy"},
        {"doubled quote is a quote", "h''mm", "h\"'\"nn"},
        {"doubled quote inside quotes", "'o''clock' h", "\"o'clock\" h"},
        {"bare letters are literal in Qt", "d. MMMM yyyy r.", "d. mmmm yyyy \"r\"."},
        {"bare letter that the report would read as a minute", "H 'h' m n", "h \"h\" n \"n\""},
        {"double quote stays a literal", "d\"M", "d'\"'m"},
        {"Chinese literal characters", "yyyy年M月d日", "yyyy年m月d日"},
        {"milliseconds", "HH:mm:ss.zzz", "hh:nn:ss.zzz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LocaleSettings::fromQtPattern(QString::fromUtf8(c.qt)), QString::fromUtf8(c.report));
    }
}

TEST(LocaleSettings, GermanLocaleGivesItsSeparatorsAndPatterns)
{
    const LocaleSettings de = LocaleSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.decimalSeparator, QChar(','));
    EXPECT_EQ(de.thousandSeparator, QChar('.'));
    EXPECT_EQ(de.dateSeparator, QChar('.'));
    EXPECT_EQ(de.timeSeparator, QChar(':'));
    EXPECT_EQ(de.shortDateFormat, "dd.mm.yy");
    EXPECT_EQ(de.shortTimeFormat, "hh:nn");
    EXPECT_EQ(de.longMonthNames.value(2), QString::fromUtf8("März"));
    EXPECT_EQ(de.shortDayNames.size(), 7);
    EXPECT_EQ(de.longDayNames.value(0), "Sonntag"); // the lists start on Sunday
    EXPECT_EQ(de.toUpper(QString::fromUtf8("straße")), QString::fromUtf8("STRASSE"));
}

TEST(LocaleSettings, SeparatorsSkipInvisibleDirectionMarks)
{
    // Arabic short dates put a right-to-left mark before each slash.
    const LocaleSettings ar = LocaleSettings::fromLocale(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(ar.dateSeparator, QChar('/'));
    const LocaleSettings fi = LocaleSettings::fromLocale(QLocale(QLocale::Finnish, QLocale::Finland));
    EXPECT_EQ(fi.timeSeparator, QChar('.'));
}

TEST(LocaleSettings, FixedEnglishDoesNotDependOnTheMachine)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    EXPECT_EQ(en.decimalSeparator, QChar('.'));
    EXPECT_EQ(en.shortDateFormat, "m/d/yyyy");
    EXPECT_EQ(en.timeAMString, "AM");
    EXPECT_EQ(en.trueName, "True");
    EXPECT_EQ(en.longMonthNames.value(10), "November");
    EXPECT_EQ(en.shortDayNames.value(0), "Sun");
}

TEST(SettingsStore, RoundTripThroughAnIniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("vaskel.ini");
    {
        SettingsStore store(path);
        store.writeInteger("Form/TfrPreviewForm/XPosition", -8);
        store.writeInteger("Form/TfrPreviewForm/Width", 1040);
        store.writeBool("Form/TfrPreviewForm/Maximized", false);
        store.setValue("Printer/Name", QString::fromUtf8("打印机 1"));
        store.setValue("Obsolete", 1);
        store.remove("Obsolete");
        store.sync();
        EXPECT_EQ(store.status(), QSettings::NoError);
        EXPECT_EQ(store.fileName(), path);
    }

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("Maximized=0")) << text.constData(); // booleans as "1"/"0"
    EXPECT_TRUE(text.contains("XPosition=-8")) << text.constData(); // integers as decimal text

    const SettingsStore again(path);
    EXPECT_EQ(again.readInteger("Form/TfrPreviewForm/XPosition", 0), -8);
    EXPECT_EQ(again.readInteger("Form/TfrPreviewForm/Width", 0), 1040);
    EXPECT_FALSE(again.readBool("Form/TfrPreviewForm/Maximized", true));
    EXPECT_EQ(again.value("Printer/Name").toString(), QString::fromUtf8("打印机 1"));
    EXPECT_FALSE(again.contains("Obsolete"));
    EXPECT_TRUE(again.readBool("Form/TfrPreviewForm/Missing", true));
    EXPECT_EQ(again.readInteger("Form/TfrPreviewForm/Missing", 77), 77);
}

TEST(SettingsStore, UnreadableValuesGiveTheFallback)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("hand.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Form]\nWidth=wide\nHeight= 300 \nA=true\nB=FALSE\nC=2\nD=maybe\n");
    file.close();

    const SettingsStore store(path);
    EXPECT_EQ(store.readInteger("Form/Width", 640), 640);
    EXPECT_EQ(store.readInteger("Form/Height", 480), 300);
    EXPECT_TRUE(store.readBool("Form/A", false));
    EXPECT_FALSE(store.readBool("Form/B", true));
    EXPECT_TRUE(store.readBool("Form/C", false));
    EXPECT_TRUE(store.readBool("Form/D", true));
    EXPECT_FALSE(store.readBool("Form/D", false));
}

TEST(SettingsStore, TestsNeverUseTheUsersRealFile)
{
    const SettingsStore store;
    EXPECT_TRUE(store.fileName().contains(".qttest")) << store.fileName().toStdString();
    EXPECT_TRUE(store.fileName().contains(SettingsStore::kOrganisation));
}

} // namespace
} // namespace vaskel
