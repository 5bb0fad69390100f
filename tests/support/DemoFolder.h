#pragma once
// Points `--demo` at a folder of the test's own (VASKEL_DEMO_DIR) while this object lives, so that
// the demo database is built there and not in the user's data folder; afterwards the variable is
// as it was.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace vaskel::test {

class ScopedDemoFolder {
public:
    explicit ScopedDemoFolder(const QString& folder) : m_previous(qgetenv("VASKEL_DEMO_DIR"))
    {
        qputenv("VASKEL_DEMO_DIR", folder.toLocal8Bit());
    }
    ~ScopedDemoFolder()
    {
        if (m_previous.isNull())
            qunsetenv("VASKEL_DEMO_DIR");
        else
            qputenv("VASKEL_DEMO_DIR", m_previous);
    }
    ScopedDemoFolder(const ScopedDemoFolder&) = delete;
    ScopedDemoFolder& operator=(const ScopedDemoFolder&) = delete;

private:
    QByteArray m_previous;
};

} // namespace vaskel::test
