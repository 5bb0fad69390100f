#include "report/preview/HelpTopics.h"

#include "platform/DataPaths.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace vaskel::HelpTopics {

QString previewHelpFile()
{
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
