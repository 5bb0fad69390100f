// A bill whose database text holds a character the file code page lacks (an emoji typed into a
// product name): the pages keep it, so PDF output works; only saving a prepared-report file in
// that code page refuses, naming the character and the way out, and writes nothing; saved in
// UTF-8 it is kept.
#include "PdfText.h"
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"
#include "support/TestGlobals.h"

#include "tools/RenderCommand.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace vaskel::test {
namespace {

class RenderOutsideCodePageTest : public GlobalsTest {
protected:
    void SetUp() override { writeLookTemplate(look); }

    CommandRun render(QStringList args) { return runCommand(runRenderCommand, args); }

    QTemporaryDir dir;
    const ScopedDemoFolder demo{dir.filePath("demo")};
    const QString look = dir.filePath("look.frf");
    // The purchase lines of the bill, each name followed by U+1F600 (made by the database, as a
    // user's typing would have stored it).
    const QStringList bill{look, "--demo", "--bill", "HT23002", "--query",
        "ADOQuery1=select LDLP_NO, KPDATE, CMNAME || ' ' || char(128512) as CMNAME, CMUNIT, QNT, AMT "
        "from sb_tsjh where ldlp_no=?"};
    const QString emojiName = QString::fromUtf8("铝锭 A00 \U0001F600");
};

TEST_F(RenderOutsideCodePageTest, PdfWorksAndOnlySavingInTheFileCodePageRefuses)
{
    const QString pdf = dir.filePath("bill.pdf");
    const QString json = dir.filePath("bill.json");
    const CommandRun drawn = render(bill + QStringList{"--pdf", pdf, "--json", json});
    ASSERT_EQ(drawn.code, 0) << drawn.err.toStdString();
    EXPECT_TRUE(printedObjects(json).join('\n').contains(emojiName))
        << printedObjects(json).join('\n').toStdString();
    EXPECT_TRUE(pdfText(pdf).contains(QString::fromUtf8("铝锭 A00"))) << pdfText(pdf).toStdString();

    const QString frp = dir.filePath("bill.frp");
    const CommandRun refused = render(bill + QStringList{"--save", frp});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("(U+1F600) cannot be written in code page GBK")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--code-page UTF-8"))) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(frp)) << "nothing written";

    const CommandRun saved = render(bill + QStringList{"--code-page", "UTF-8", "--save", frp});
    ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    const QString again = dir.filePath("again.json");
    const CommandRun reread = render({"--frp", frp, "--code-page", "UTF-8", "--json", again});
    ASSERT_EQ(reread.code, 0) << reread.err.toStdString();
    // (--code-page also reads the template in UTF-8, so only the database's text is compared.)
    EXPECT_TRUE(printedObjects(again).join('\n').contains(emojiName))
        << printedObjects(again).join('\n').toStdString();
}

} // namespace
} // namespace vaskel::test
