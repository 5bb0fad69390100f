#include "CupsQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vaskel::test {

namespace {

// Shared by every test process on the machine: the locks, the scheduler's PID when a test
// started it, and the queue's output.
const char* const kStateDir = "/tmp/vaskel-cups";
const char* const kQueue = "VaskelPdf";
const char* const kBackendSuffix = "vaskel";

QString statePath(const char* name)
{
    return QString::fromLatin1(kStateDir) + '/' + QLatin1String(name);
}

// Runs a command; its exit code and output, or -1 when it could not run.
int run(const QString& program, const QStringList& args, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitCode();
}

bool schedulerRunning()
{
    QString out;
    return run("lpstat", {"-r"}, &out) == 0 && out.contains("scheduler is running");
}

bool queueExists()
{
    return run("lpstat", {"-p", kQueue}) == 0;
}

// Whether the process is gone (a zombie counts as gone: its parent is no test of ours).
bool processGone(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) == "Z";
}

bool isCupsd(qint64 pid)
{
    QFile comm(QString("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "cupsd";
}

int openLock(const char* name)
{
    return ::open(statePath(name).toLocal8Bit().constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
}

bool startScheduler(QString* why)
{
    QDir().mkpath("/run/cups");
    QProcess cupsd;
    cupsd.setProgram("/usr/sbin/cupsd");
    cupsd.setArguments({"-f"});
    cupsd.setStandardInputFile(QProcess::nullDevice());
    cupsd.setStandardOutputFile(QProcess::nullDevice());
    cupsd.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!cupsd.startDetached(&pid)) {
        *why = "cupsd could not be started";
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (!schedulerRunning()) {
        if (timer.elapsed() > 10000 || processGone(pid)) {
            *why = "cupsd did not come up";
            return false;
        }
        QThread::msleep(100);
    }
    QFile pidFile(statePath("cupsd.pid"));
    if (pidFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        pidFile.write(QByteArray::number(pid));
    return true;
}

bool createQueue(QString* why)
{
    const QString out = CupsQueue::outputDir();
    QDir().mkpath(out);
    QFile::setPermissions(out, QFileDevice::Permissions(0x7777));
    QFile conf(QString("/etc/cups/cups-pdf-%1.conf").arg(kBackendSuffix));
    if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *why = "cannot write " + conf.fileName();
        return false;
    }
    conf.write(QString("Out %1\nAnonDirName %1\nGrp lpadmin\nUserUMask 0022\nAnonUMask 0022\n")
                   .arg(out)
                   .toLocal8Bit());
    conf.close();
    QString output;
    const int rc = run("lpadmin",
        {"-p", kQueue, "-E", "-v", QString("cups-pdf:/%1").arg(kBackendSuffix), "-m",
            "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd", "-o", "pdftops-renderer-default=pdftocairo", "-o",
            "Label-default=1"},
        &output);
    if (rc != 0 || !queueExists()) {
        *why = "lpadmin failed: " + output.trimmed();
        return false;
    }
    return true;
}

} // namespace

QString CupsQueue::queueName()
{
    return QString::fromLatin1(kQueue);
}

QString CupsQueue::outputDir()
{
    return statePath("out");
}

CupsQueue::CupsQueue()
{
    m_available = acquire();
}

CupsQueue::~CupsQueue()
{
    if (m_available)
        release();
    if (m_usersLock >= 0)
        ::close(m_usersLock);
    if (m_setupLock >= 0)
        ::close(m_setupLock);
}

bool CupsQueue::acquire()
{
    QDir().mkpath(kStateDir);
    QFile::setPermissions(kStateDir, QFileDevice::Permissions(0x7777));
    m_setupLock = openLock("setup.lock");
    m_usersLock = openLock("users.lock");
    if (m_setupLock < 0 || m_usersLock < 0) {
        m_skipReason = "cannot open the lock files in " + QString(kStateDir);
        return false;
    }
    // Setting up and tearing down are serialised across processes; a user holds a shared lock on
    // the users file for as long as it prints, so that the scheduler is not stopped under it.
    flock(m_setupLock, LOCK_EX);
    bool ok = true;
    if (!schedulerRunning()) {
        if (geteuid() != 0) {
            m_skipReason = "no CUPS scheduler runs and starting one needs root";
            ok = false;
        } else {
            ok = startScheduler(&m_skipReason);
        }
    }
    if (ok && !queueExists()) {
        if (geteuid() != 0) {
            m_skipReason = "the CUPS queue " + queueName() + " is missing and creating it needs root";
            ok = false;
        } else {
            ok = createQueue(&m_skipReason);
        }
    }
    if (ok)
        flock(m_usersLock, LOCK_SH);
    flock(m_setupLock, LOCK_UN);
    return ok;
}

void CupsQueue::release()
{
    flock(m_setupLock, LOCK_EX);
    flock(m_usersLock, LOCK_UN);
    if (flock(m_usersLock, LOCK_EX | LOCK_NB) == 0) {
        // The last user out stops the scheduler, but only one that a test started.
        QFile pidFile(statePath("cupsd.pid"));
        if (pidFile.open(QIODevice::ReadOnly)) {
            const qint64 pid = pidFile.readAll().trimmed().toLongLong();
            pidFile.close();
            if (pid > 0 && isCupsd(pid)) {
                ::kill(static_cast<pid_t>(pid), SIGTERM);
                QElapsedTimer timer;
                timer.start();
                while (!processGone(pid) && timer.elapsed() < 10000)
                    QThread::msleep(50);
            }
            pidFile.remove();
        }
        flock(m_usersLock, LOCK_UN);
    }
    flock(m_setupLock, LOCK_UN);
}

QString CupsQueue::addQueue(const QString& stem)
{
    const QString name = QString("%1-%2").arg(stem).arg(QCoreApplication::applicationPid());
    const int rc = run("lpadmin",
        {"-p", name, "-E", "-v", QString("cups-pdf:/%1").arg(kBackendSuffix), "-m",
            "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd", "-o", "pdftops-renderer-default=pdftocairo"});
    return rc == 0 ? name : QString();
}

void CupsQueue::removeQueue(const QString& name)
{
    run("lpadmin", {"-x", name});
}

int CupsQueue::admin(const QString& program, const QStringList& args)
{
    return run(program, args);
}

QString CupsQueue::waitForJobOutput(int jobId, int timeoutMs)
{
    const QString prefix = QString("job_%1-").arg(jobId);
    QElapsedTimer timer;
    timer.start();
    do {
        // The file appears while the job is written; give a growing file a moment to settle.
        const QStringList files = QDir(outputDir()).entryList({prefix + "*.pdf"}, QDir::Files);
        if (!files.isEmpty()) {
            const QString path = outputDir() + '/' + files.first();
            const qint64 size = QFileInfo(path).size();
            QThread::msleep(200);
            if (size > 0 && QFileInfo(path).size() == size)
                return path;
        }
        QThread::msleep(100);
    } while (timer.elapsed() < timeoutMs);
    return QString();
}

} // namespace vaskel::test
