// Rounding, date-time values, code pages and the string loader: the small helpers every layer uses.
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/DateTimeValue.h"
#include "platform/Rounding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(Rounding, NearestWithTiesToEven)
{
    struct Case {
        const char* name;
        double in;
        qint32 out;
    } cases[] = {
        {"half rounds to even zero", 0.5, 0},
        {"one and a half rounds up to two", 1.5, 2},
        {"two and a half rounds down to two", 2.5, 2},
        {"negative half to even", -2.5, -2},
        {"just above half", 0.5000001, 1},
        {"A4 width in report units", 2100 * (93 / 1.015) / 254, 758},
        {"beyond 32 bits clamps", 1e12, 2147483647},
        {"not a number is zero", std::nan(""), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(roundToInt(c.in), c.out);
    }
}

TEST(DateTimeValue, DaysSinceEpochBothWays)
{
    using namespace DateTimeValue;
    EXPECT_EQ(fromDate(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(fromDate(QDate(1998, 11, 15)), 36114.0);
    EXPECT_DOUBLE_EQ(fromDateTime(QDate(1998, 11, 15), QTime(18, 0)), 36114.75);
    EXPECT_EQ(toDate(36114.75), QDate(1998, 11, 15));
    EXPECT_EQ(toTime(36114.75), QTime(18, 0));
    // Before the epoch the whole part counts back, the fraction is still a time of day.
    EXPECT_DOUBLE_EQ(fromDateTime(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
    EXPECT_EQ(toDate(-1.25), QDate(1899, 12, 29));
    EXPECT_EQ(toTime(-1.25), QTime(6, 0));
    // A fraction a hair below one day stays on the same day.
    EXPECT_EQ(toTime(0.99999999999), QTime(23, 59, 59, 999));
}

TEST(CodePage, GbkRoundTripAndKnownBytes)
{
    const CodePage gbk;
    EXPECT_EQ(gbk.name(), "GBK");
    EXPECT_EQ(gbk.encode(QString::fromUtf8(" 元")).toHex(), "20d4aa");
    const QString text = QString::fromUtf8("进货：sb_tsjh 销售 № 1,234.50");
    EXPECT_EQ(gbk.decode(gbk.encode(text)), text);
}

TEST(CodePage, UnwritableCharacterIsNamedNeverQuestionMark)
{
    const CodePage gbk(QStringLiteral("CP936"));
    const CodePage copy = gbk;
    // Every failing text fails, not only the first one a converter meets.
    for (const CodePage* page : {&gbk, &gbk, &copy}) {
        try {
            page->encode(QString::fromUtf8("ab\U0001F600c"));
            ADD_FAILURE() << "encoding succeeded";
        } catch (const CodePageError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8("\U0001F600"))) << qPrintable(e.message());
            EXPECT_TRUE(e.message().contains("U+1F600")) << qPrintable(e.message());
        }
    }
    // The code page's converters serve the next texts unharmed by the failure, copies included.
    EXPECT_EQ(copy.encode(QString::fromUtf8(" 元")).toHex(), "20d4aa");
    // A text cut inside a character leaves nothing behind for the next one.
    gbk.decode(QByteArray::fromHex("41d4"));
    EXPECT_EQ(gbk.decode(QByteArray::fromHex("d4aa")), QString::fromUtf8("元"));
}

TEST(CodePage, Utf8AndUnknownNames)
{
    const CodePage utf8(QStringLiteral("utf-8"));
    EXPECT_EQ(utf8.encode(QString::fromUtf8("元")).toHex(), "e58583");
    try {
        CodePage bad(QStringLiteral("KLINGON-1"));
        FAIL() << "unknown code page accepted";
    } catch (const CodePageError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unknown code page \"KLINGON-1\""));
    }
}

TEST(DataPaths, TemplateNamesFallBackToTheDataFolder)
{
    // An installed look.frf is found from any folder; a file in the working folder comes first,
    // and a name with a folder in it is never redirected.
    QTemporaryDir data;
    QTemporaryDir work;
    ASSERT_TRUE(data.isValid() && work.isValid());
    for (const QString& path :
        {data.filePath("look.frf"), work.filePath("mine.frf"), data.filePath("mine.frf")}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QByteArray savedData = qgetenv("VASKEL_DATA_DIR");
    const QString savedDir = QDir::currentPath();
    qputenv("VASKEL_DATA_DIR", QFile::encodeName(data.path()));
    QDir::setCurrent(work.path());
    EXPECT_EQ(DataPaths::templateFile("look.frf"), data.filePath("look.frf"));
    EXPECT_EQ(DataPaths::templateFile("mine.frf"), "mine.frf");
    EXPECT_EQ(DataPaths::templateFile("missing.frf"), "missing.frf");
    EXPECT_EQ(DataPaths::templateFile("sub/look.frf"), "sub/look.frf");
    QDir::setCurrent(savedDir);
    if (savedData.isEmpty())
        qunsetenv("VASKEL_DATA_DIR");
    else
        qputenv("VASKEL_DATA_DIR", savedData);
}

} // namespace
} // namespace vaskel
