#include "platform/SafeOutputFile.h"

#include "platform/PlatformError.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>

namespace vaskel {

SafeOutputFile::SafeOutputFile(const QString& fileName) : m_name(fileName)
{
    if (isSpecialFile(fileName))
        m_direct = std::make_unique<QFile>(fileName);
    else
        m_save = std::make_unique<QSaveFile>(fileName);
}

SafeOutputFile::~SafeOutputFile()
{
    if (m_save && m_save->isOpen())
        m_save->cancelWriting(); // its destructor then removes the temporary file
}

bool SafeOutputFile::isSpecialFile(const QString& fileName)
{
    struct stat st { };
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return false;
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

QFileDevice& SafeOutputFile::file() const
{
    return m_save ? static_cast<QFileDevice&>(*m_save) : static_cast<QFileDevice&>(*m_direct);
}

void SafeOutputFile::fail(const QString& reason) const
{
    throw VaskelError(QStringLiteral("Cannot create file \"%1\". %2").arg(m_name, reason));
}

void SafeOutputFile::open()
{
    // A device is written as it is: nothing to truncate, nothing to rename.
    const QIODevice::OpenMode mode
        = m_direct ? QIODevice::WriteOnly | QIODevice::Unbuffered : QIODevice::WriteOnly;
    if (!file().open(mode))
        fail(file().errorString());
}

QIODevice& SafeOutputFile::device()
{
    return file();
}

void SafeOutputFile::write(const QByteArray& bytes)
{
    if (file().write(bytes) != bytes.size())
        fail(file().errorString());
}

QString SafeOutputFile::writeFailure() const
{
    return file().error() == QFileDevice::NoError ? QString() : file().errorString();
}

void SafeOutputFile::commit()
{
    QFileDevice& f = file();
    // The flush is checked here: QSaveFile would rename its file over the target even when the
    // last buffer could not be written.
    if (!f.flush() || f.error() != QFileDevice::NoError) {
        const QString reason = f.errorString();
        cancel();
        fail(reason);
    }
    if (m_direct) {
        m_direct->close();
        if (m_direct->error() != QFileDevice::NoError)
            fail(m_direct->errorString());
        return;
    }
    if (!m_save->commit())
        fail(m_save->errorString());
}

void SafeOutputFile::cancel()
{
    if (m_save) {
        if (m_save->isOpen()) {
            m_save->cancelWriting();
            m_save->commit(); // removes the temporary file
        }
    } else {
        m_direct->close();
    }
}

} // namespace vaskel
