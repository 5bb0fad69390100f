#include "report/preview/HelpTopics.h"

#include "platform/DataPaths.h"
#include "platform/InterfaceLanguage.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace vaskel::HelpTopics {

QString previewHelpFile()
{
    // A translated help file sits in a folder named after its language, beside the English one.
    const QString language = InterfaceLanguage::current();
    if (!language.isEmpty()) {
        const QString translated = DataPaths::dataFile(QStringLiteral("help/%1/VUveve.hlp").arg(language));
        if (QFileInfo::exists(translated))
            return translated;
    }
    return DataPaths::dataFile(QStringLiteral("help/VUveve.hlp"));
}

QString topic(const QString& helpFile, int contextNumber)
{
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression header(QStringLiteral("^\\[(\\d+)\\]\\s*$"));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QStringList lines;
    bool inTopic = false;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(u'#'))
            continue;
        const QRegularExpressionMatch m = header.match(line);
        if (m.hasMatch()) {
            if (inTopic)
                break;
            inTopic = m.captured(1).toInt() == contextNumber;
            continue;
        }
        if (inTopic)
            lines << line;
    }
    return lines.join(u'\n').trimmed();
}

} // namespace vaskel::HelpTopics
