#include "report/model/ReportInfo.h"

#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"

namespace vaskel {

void ReportInfo::Reset(double now)
{
    *this = ReportInfo{};
    Created = LastChanged = now;
}

void ReportInfo::Read(ReportStreamReader& r)
{
    for (QString* text :
        {&Comment, &Name, &Author, &VersionMajor, &VersionMinor, &VersionRelease, &VersionBuild})
        *text = ReportStreamReader::decode(r.readLengthPrefixedBytes());
    const QByteArray hex = r.readLengthPrefixedBytes();
    const QByteArray bytes = QByteArray::fromHex(hex);
    // fromHex skips what is not a digit; a stored password must be digits only, two per byte.
    if (hex.size() % 2 != 0 || bytes.size() * 2 != hex.size())
        r.fail(QStringLiteral("password is not hexadecimal"));
    Password = ReportStreamReader::decode(bytes);
    GeneratorVersion = r.readU8();
    PasswordProtected = r.readU8() != 0;
    Created = r.readDouble();
    LastChanged = r.readDouble();
}

void ReportInfo::Write(ReportStreamWriter& w, double lastChanged) const
{
    for (const QString* text :
        {&Comment, &Name, &Author, &VersionMajor, &VersionMinor, &VersionRelease, &VersionBuild})
        w.writeLengthPrefixedBytes(ReportStreamWriter::encode(*text));
    w.writeLengthPrefixedBytes(ReportStreamWriter::encode(Password).toHex().toUpper());
    w.writeU8(kGeneratorVersion);
    w.writeU8(PasswordProtected ? 1 : 0);
    w.writeDouble(Created);
    w.writeDouble(lastChanged);
}

} // namespace vaskel
