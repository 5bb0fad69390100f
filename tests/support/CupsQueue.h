#pragma once
// A CUPS print queue that writes PDF files, for tests that print to a real printer. The first
// user in any test process starts the CUPS scheduler when none runs (which needs root) and
// creates the queue; later users, also in other test executables running at the same time,
// reuse both. The scheduler is stopped by the last user out, and only when a test started it.
// Where no scheduler can be had, `available()` is false and `skipReason()` says why; tests then
// skip with that message.
//
// Keep one instance per test suite (SetUpTestSuite): starting the scheduler takes about a second.
#include <QString>

namespace vaskel::test {

class CupsQueue {
public:
    CupsQueue();
    ~CupsQueue();
    CupsQueue(const CupsQueue&) = delete;
    CupsQueue& operator=(const CupsQueue&) = delete;

    bool available() const { return m_available; }
    QString skipReason() const { return m_skipReason; }

    // The queue's name as the printer list shows it.
    static QString queueName();
    // Where the queue writes its PDF files: job_<id>-<title>.pdf.
    static QString outputDir();
    // The PDF file of print job `jobId` once it is complete, or empty text after `timeoutMs`.
    static QString waitForJobOutput(int jobId, int timeoutMs = 15000);

    // Another queue on the same PDF backend, for a test that removes, stops or refuses it; the
    // name carries the process id. Empty text when it could not be created.
    static QString addQueue(const QString& stem);
    static void removeQueue(const QString& name);
    // Runs a CUPS administration command (cupsdisable, cupsreject, lpadmin …); its exit code.
    static int admin(const QString& program, const QStringList& args);

private:
    bool acquire();
    void release();

    bool m_available = false;
    QString m_skipReason;
    int m_setupLock = -1;
    int m_usersLock = -1;
};

} // namespace vaskel::test
