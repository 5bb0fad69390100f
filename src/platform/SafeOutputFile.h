#pragma once
// An output file written so that a failure never damages what was there. A regular file (or a
// new one) is written beside its target and renamed over it only when every byte was written and
// flushed: a full disk often shows only at the flush of the last buffer, and a rename after it
// would put an empty file in the old one's place. A device node, FIFO or socket is written into
// directly: renaming over it would replace the system's device by a regular file.
//
// Failures throw VaskelError "Cannot create file "NAME". REASON", the reason as the system
// words it ("No space left on device"). Destroyed without commit(), nothing of it stays.
#include <QFileDevice>
#include <QString>

#include <memory>

class QFile;
class QSaveFile;

namespace vaskel {

class SafeOutputFile {
public:
    explicit SafeOutputFile(const QString& fileName);
    ~SafeOutputFile();
    SafeOutputFile(const SafeOutputFile&) = delete;
    SafeOutputFile& operator=(const SafeOutputFile&) = delete;

    // Opens for writing; throws when the file cannot be created.
    void open();
    // The device to write into (a writer such as QPdfWriter may write into it as it likes: every
    // error it leaves on the device is found by commit()).
    QIODevice& device();
    // Writes all of `bytes`, or throws.
    void write(const QByteArray& bytes);
    // Flushes, checks and puts the file in its place; throws and leaves the target as it was when
    // anything written failed.
    void commit();
    // Drops what was written; the target stays as it was.
    void cancel();
    // The system's reason when a write into the file failed, else empty.
    QString writeFailure() const;
    // True when the target is not a regular file and is written into directly.
    bool isDirect() const { return m_direct != nullptr; }
    const QString& fileName() const { return m_name; }
    [[noreturn]] void fail(const QString& reason) const;

    // Whether `fileName` names something that is not a regular file, a folder or nothing (a
    // device node, FIFO or socket, after symbolic links).
    static bool isSpecialFile(const QString& fileName);

private:
    QFileDevice& file() const;

    QString m_name;
    std::unique_ptr<QSaveFile> m_save;
    std::unique_ptr<QFile> m_direct;
};

} // namespace vaskel
