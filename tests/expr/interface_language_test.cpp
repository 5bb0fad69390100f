// The interface language: which translation the environment asks for, and the string loader in
// Chinese through its localisation callback, with English where the locale is not Chinese and for
// the entries that are patterns rather than words.
#include "platform/InterfaceLanguage.h"
#include "report/expr/StringTable.h"
#include "report/expr/TfrLocale.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace vaskel {
namespace {

TEST(InterfaceLanguage, ChineseSettingsChooseTheChineseTranslation)
{
    struct Case {
        const char* setting;
        const char* translation;
    };
    const Case cases[] = {
        {"zh_CN.UTF-8", "zh_CN"},
        {"zh_CN", "zh_CN"},
        {"zh_SG.GB2312", "zh_CN"},
        {"zh", "zh_CN"},
        {"C.UTF-8", ""},
        {"C", ""},
        {"en_US.UTF-8", ""},
        {"de_DE.UTF-8", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        EXPECT_EQ(
            InterfaceLanguage::translationFor(QString::fromLatin1(c.setting)).toStdString(), c.translation);
    }
}

// Sets the locale variables for one test and puts them back afterwards.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        for (const char* name : {"VASKEL_LANG", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            qunsetenv(name);
        }
        for (const auto& [name, value] : values)
            qputenv(name, value);
    }
    ~LocaleEnvironment()
    {
        for (const Saved& s : m_saved) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    QList<Saved> m_saved;
};

TEST(InterfaceLanguage, VaskelLangWinsOverTheLocaleWhichFollowsPosixOrder)
{
    {
        LocaleEnvironment env({{"LANG", "zh_CN.UTF-8"}});
        EXPECT_EQ(InterfaceLanguage::chosen(), "zh_CN");
    }
    {
        LocaleEnvironment env({{"LANG", "zh_CN.UTF-8"}, {"VASKEL_LANG", "en"}});
        EXPECT_EQ(InterfaceLanguage::chosen(), "");
    }
    {
        LocaleEnvironment env({{"LANG", "C.UTF-8"}, {"VASKEL_LANG", "zh_CN"}});
        EXPECT_EQ(InterfaceLanguage::chosen(), "zh_CN");
    }
    {
        LocaleEnvironment env({{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "C"}});
        EXPECT_EQ(InterfaceLanguage::chosen(), "");
    }
    {
        LocaleEnvironment env({{"LANG", "en_GB.UTF-8"}, {"LC_MESSAGES", "zh_CN.UTF-8"}});
        EXPECT_EQ(InterfaceLanguage::chosen(), "zh_CN");
    }
}

class TranslatedStrings : public testing::Test {
protected:
    void TearDown() override { InterfaceLanguage::uninstall(); }

    // The string loader as the program sets it up for the language the environment asks for.
    static TfrLocale loaderFor(const QByteArray& lang)
    {
        LocaleEnvironment env({{"LANG", lang.constData()}});
        InterfaceLanguage::install(InterfaceLanguage::chosen());
        TfrLocale strings;
        strings.useInterfaceLanguage();
        return strings;
    }
};

TEST_F(TranslatedStrings, ChineseLocaleShowsThePreviewAndPrintDialogInChinese)
{
    const TfrLocale strings = loaderFor("zh_CN.UTF-8");
    ASSERT_EQ(InterfaceLanguage::current(), "zh_CN");
    struct Row {
        int number;
        const char* text;
    };
    const Row rows[] = {
        {StringTable::sPrintCaption, "打印"},
        {StringTable::sClosePreviewHint, "关闭预览"},
        {StringTable::sPrintReportHint, "打印报表"},
        {StringTable::sSaveReportHint, "保存报表"},
        {StringTable::sFindTextHint, "查找文本"},
        {StringTable::sRangeHelp, "请输入页码和/或页码范围，用逗号分隔。例如：1,3,5-12"},
        {StringTable::sPreparingReport, "正在准备报表"},
        {StringTable::sCancel, "取消"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.number);
        EXPECT_EQ(strings.LoadString(r.number).toStdString(), r.text);
    }
    // The same program texts through Qt's translation (message-box buttons, the program's messages).
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消");
    EXPECT_EQ(QCoreApplication::translate("vaskel", "Cannot create the folder %1"), "无法创建文件夹 %1");
}

TEST_F(TranslatedStrings, PatternsAndSamplesStayAsTheyAreInChinese)
{
    // Date, time and boolean patterns are read by the formatter, not by people: a translation must
    // leave them, or printed dates and flags would change with the language.
    const TfrLocale strings = loaderFor("zh_CN.UTF-8");
    for (int n = StringTable::sBooleanPairFirst; n <= StringTable::sTimeFormatFirst + 3; ++n) {
        if (n == StringTable::sBooleanPairFirst + 4) // "Custom", a word
            continue;
        SCOPED_TRACE(n);
        EXPECT_EQ(strings.LoadString(n), StringTable::text(n));
    }
    EXPECT_EQ(strings.LoadString(StringTable::sCharset), "1");
}

TEST_F(TranslatedStrings, OtherLocalesKeepEnglish)
{
    for (const QByteArray lang : {"C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"}) {
        SCOPED_TRACE(lang.toStdString());
        const TfrLocale strings = loaderFor(lang);
        EXPECT_EQ(InterfaceLanguage::current(), "");
        EXPECT_EQ(strings.LoadString(StringTable::sPrintCaption), "Print");
        EXPECT_EQ(strings.LoadString(StringTable::sClosePreviewHint), "Close preview");
        EXPECT_EQ(strings.LoadString(StringTable::sRangeHelp),
            "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    }
}

TEST_F(TranslatedStrings, SwitchingBackToEnglishRemovesTheTranslation)
{
    TfrLocale strings = loaderFor("zh_CN.UTF-8");
    ASSERT_EQ(strings.LoadString(StringTable::sPrintCaption), "打印");
    InterfaceLanguage::install(QString());
    EXPECT_EQ(strings.LoadString(StringTable::sPrintCaption), "Print");
    EXPECT_EQ(
        QCoreApplication::translate("vaskel", "Cannot create the folder %1"), "Cannot create the folder %1");
}

} // namespace
} // namespace vaskel
