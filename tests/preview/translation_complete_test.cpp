// The Chinese interface is complete: every text a person can meet has a translation. The texts
// are listed from where they come from: the string table, the texts the sources mark for
// translation (found by Qt's lupdate, as a translator's tools find them), the messages the lower
// layers raise (found in the sources by their throw sites), and what the preview window, the find
// dialog and the print dialog show once they are built in Chinese.
#include "support/TestGlobals.h"

#include "platform/InterfaceLanguage.h"
#include "report/expr/StringTable.h"
#include "report/preview/TfrPreviewForm.h"
#include "report/preview/TfrPreviewSearchForm.h"
#include "report/preview/TfrPrintForm.h"
#include "ui/desktop/MessageTranslation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <map>
#include <set>

namespace vaskel::test {
namespace {

const QString kSource = QStringLiteral(VASKEL_TEST_SOURCE_DIR);

struct Message {
    QString context, source, comment;
    bool operator<(const Message& o) const
    {
        return std::tie(context, source, comment) < std::tie(o.context, o.source, o.comment);
    }
};

// The messages of a .ts file and whether each has a finished translation.
std::map<Message, bool> readTs(const QString& path)
{
    std::map<Message, bool> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&file);
    QString context;
    Message m;
    bool finished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"name") {
                context = xml.readElementText();
            } else if (xml.name() == u"message") {
                m = {context, {}, {}};
            } else if (xml.name() == u"source") {
                m.source = xml.readElementText();
            } else if (xml.name() == u"comment") {
                m.comment = xml.readElementText();
            } else if (xml.name() == u"translation") {
                const QString type = xml.attributes().value(QLatin1String("type")).toString();
                finished = type.isEmpty() && !xml.readElementText().isEmpty();
            }
        } else if (xml.isEndElement() && xml.name() == u"message") {
            out[m] = finished;
        }
    }
    return out;
}

// Text that a Chinese interface shows untranslated: an English word of two letters or more that
// is not a file type, a program name or a key.
bool looksEnglish(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const QSet<QString> allowed{"PDF", "pdf", "frp", "Ctrl", "OK"};
    for (auto it = word.globalMatch(text); it.hasNext();) {
        if (!allowed.contains(it.next().captured()))
            return true;
    }
    return false;
}

class ChineseInterface : public GlobalsTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InterfaceLanguage::install(QStringLiteral("zh_CN")));
        globals.strings.useInterfaceLanguage();
    }
    void TearDown() override { InterfaceLanguage::uninstall(); }
};

TEST_F(ChineseInterface, EveryStringTableTextIsTranslated)
{
    // Patterns are read by the formatter, not by people, and stay as they are.
    const auto isPattern = [](int n) {
        return (n >= StringTable::sBooleanPairFirst && n <= StringTable::sTimeFormatFirst + 3
                   && n != StringTable::sBooleanPairFirst + 4)
            || n == StringTable::sCharset
            || (n >= StringTable::sFormatSampleFirst && n < StringTable::sFormatSampleFirst + 25
                && n != StringTable::sFormatSampleFirst && StringTable::text(n) != QLatin1String("Custom"));
    };
    QStringList missing;
    for (int n : StringTable::numbers()) {
        const QString english = StringTable::text(n);
        if (english.isEmpty() || isPattern(n)
            || !english.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            continue;
        if (InterfaceLanguage::stringTableText(n, english).isEmpty())
            missing << QStringLiteral("%1 %2").arg(n).arg(english);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u'\n').toStdString();
}

TEST_F(ChineseInterface, EveryTextMarkedInTheSourcesIsTranslated)
{
    const QString lupdate = QLibraryInfo::path(QLibraryInfo::BinariesPath) + QStringLiteral("/lupdate");
    ASSERT_TRUE(QFileInfo(lupdate).isExecutable()) << "Qt's lupdate (qt6-l10n-tools) is missing";
    QTemporaryDir dir;
    const QString found = dir.filePath(QStringLiteral("found.ts"));
    QProcess p;
    p.start(lupdate,
        {QStringLiteral("-silent"), QStringLiteral("-extensions"), QStringLiteral("cpp,h"),
            kSource + QStringLiteral("/src"), QStringLiteral("-ts"), found});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    const std::map<Message, bool> shipped = readTs(kSource + QStringLiteral("/translations/vaskel_zh_CN.ts"));
    const std::map<Message, bool> marked = readTs(found);
    ASSERT_GT(marked.size(), 40u);
    QStringList missing;
    for (const auto& [m, unused] : marked) {
        const auto it = shipped.find(m);
        if (it == shipped.end() || !it->second)
            missing << m.context + QStringLiteral(": ") + m.source;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u'\n').toStdString();
}

TEST_F(ChineseInterface, EveryMessageTheLowerLayersRaiseIsTranslated)
{
    // A message raised as `throw SomeError(QStringLiteral("…")…)` reaches a message box; the
    // desktop translates it by the list of MessageTranslation. Messages of the command-line
    // tools' own readers (dBASE import, JSON templates) only reach the terminal.
    const QStringList terminalOnly{"DbfImporter.cpp", "TemplateJson.cpp", "JsonObjectReader.cpp"};
    static const QRegularExpression raise(
        QStringLiteral(R"re(\w*(?:Error|Exception)\(\s*QStringLiteral\(((?:\s*"(?:[^"\\]|\\.)*")+)\s*\))re"));
    static const QRegularExpression piece(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    const QStringList known = MessageTranslation::patterns();
    QStringList missing;
    int raised = 0;
    for (const QString folder : {"report", "platform", "app", "ui"}) {
        QDirIterator it(kSource + QStringLiteral("/src/") + folder, {QStringLiteral("*.cpp")}, QDir::Files,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (terminalOnly.contains(QFileInfo(path).fileName()))
                continue;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QString code = QString::fromUtf8(f.readAll());
            for (auto m = raise.globalMatch(code); m.hasNext();) {
                QString text;
                const QString literal = m.next().captured(1);
                for (auto p = piece.globalMatch(literal); p.hasNext();)
                    text += p.next().captured(1);
                text.replace(QStringLiteral("\\\""), QStringLiteral("\""))
                    .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
                ++raised;
                // A message completed by appending a name ("Unable to open dataset " + name)
                // is listed with its place: "Unable to open dataset %1".
                const QString pattern = known.contains(text) ? text : text + QStringLiteral("%1");
                const bool translated = known.contains(pattern)
                    && QCoreApplication::translate("Messages", pattern.toUtf8().constData()) != pattern;
                if (!translated)
                    missing << QFileInfo(path).fileName() + QStringLiteral(": ") + text;
            }
        }
    }
    EXPECT_GT(raised, 20);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u'\n').toStdString();
    // And the translation reaches the box: the place holders keep what filled them.
    EXPECT_EQ(MessageTranslation::translate(QStringLiteral("'1x' is not a valid integer value.")),
        QStringLiteral("“1x”不是有效的整数值。"));
    EXPECT_EQ(MessageTranslation::translate(QStringLiteral("Stream read error.\n/tmp/a.frp: read past the end")),
        QStringLiteral("流读取错误。\n/tmp/a.frp: read past the end"));
}

TEST_F(ChineseInterface, ThePreviewAndItsDialogsShowNoEnglish)
{
    TfrPreviewForm preview;
    TfrPreviewSearchForm find;
    TfrPrintForm print;
    QStringList english;
    const auto check = [&](const QString& where, const QString& text) {
        if (looksEnglish(text))
            english << where + QStringLiteral(": ") + text;
    };
    check(QStringLiteral("page counter"), TfrPreviewForm::pageCounterText(1, 12));
    check(QStringLiteral("link"), TfrPreviewForm::pageText(4));
    for (QWidget* window :
        {static_cast<QWidget*>(&preview), static_cast<QWidget*>(&find), static_cast<QWidget*>(&print)}) {
        check(QStringLiteral("caption"), window->windowTitle());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString name = QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
            check(name + QStringLiteral(" hint"), w->toolTip());
            if (auto* label = qobject_cast<QLabel*>(w))
                check(name, label->text());
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                check(name, button->text());
            if (auto* group = qobject_cast<QGroupBox*>(w))
                check(name, group->title());
            if (auto* menu = qobject_cast<QMenu*>(w)) {
                for (QAction* a : menu->actions())
                    check(name, a->text());
            }
        }
    }
    for (QComboBox* box : print.findChildren<QComboBox*>()) {
        if (box == print.CB1)
            continue; // printer names are the system's
        for (int i = 0; i < box->count(); ++i)
            check(QStringLiteral("print list"), box->itemText(i));
    }
    EXPECT_TRUE(english.isEmpty()) << english.join(u'\n').toStdString();
    // Chinese text in the windows is drawn in a sans-serif Chinese face.
    EXPECT_TRUE(preview.font().families().contains(InterfaceLanguage::chineseSansFamily()));
    EXPECT_FALSE(InterfaceLanguage::chineseSansFamily().isEmpty());
}

} // namespace
} // namespace vaskel::test
