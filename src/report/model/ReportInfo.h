#pragma once
// The report information block at the end of a template: descriptive texts, version parts, the
// password (stored as hexadecimal digits of its code-page bytes), whether it must be asked when the
// template is opened from a file, and the creation and last-change date-times (days since
// 30 December 1899).
#include <QString>

namespace vaskel {

class ReportStreamReader;
class ReportStreamWriter;

struct ReportInfo {
    static constexpr quint8 kGeneratorVersion = 77;

    QString Comment, Name, Author;
    QString VersionMajor, VersionMinor, VersionRelease, VersionBuild;
    QString Password;
    quint8 GeneratorVersion = kGeneratorVersion;
    bool PasswordProtected = false;
    double Created = 0;
    double LastChanged = 0;

    // Empty texts, no password, both dates `now`.
    void Reset(double now);
    void Read(ReportStreamReader& reader);
    // Writes generator version 77 and `lastChanged` as the last change.
    void Write(ReportStreamWriter& writer, double lastChanged) const;
};

} // namespace vaskel
