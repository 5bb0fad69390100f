#pragma once
// Printing into the real CUPS queue that writes PDF files: a report whose prepared pages each
// carry their number ("Page 7"), printed through the system's printers, and the jobs it produced
// read back with poppler (the page texts in order, each page's size).
#include "support/CupsQueue.h"
#include "support/TestGlobals.h"

#include "report/engine/TfrReport.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "ui/desktop/QtPrinterBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <optional>

namespace vaskel::test {

// One print job's PDF as read back.
// Page numbers as the printed pages read them back: numbers({1, 2}) is {"1", "2"}.
inline QStringList numbers(std::initializer_list<int> list)
{
    QStringList out;
    for (int n : list)
        out << QString::number(n);
    return out;
}

struct PrintedJob {
    QStringList pages; // the page numbers' texts, "Page 3" → "3"
    QStringList sizes; // pdfinfo's page sizes, "595 x 842"
    // Per page: whether its text runs across the sheet's short side, as a landscape page's text
    // does on the portrait sheet the printer feeds.
    std::vector<bool> turned;
};

class PrintQueueTest : public GlobalsTest {
protected:
    static void SetUpTestSuite() { s_queue = new CupsQueue; }
    static void TearDownTestSuite()
    {
        delete s_queue;
        s_queue = nullptr;
    }

    void SetUp() override
    {
        if (!s_queue->available())
            GTEST_SKIP() << "no CUPS queue: " << s_queue->skipReason().toStdString();
        if (queueIsDefault)
            makeDefault(CupsQueue::queueName());
        globals.startPrinter(std::make_unique<QtPrinterBackend>());
        queueIndex = static_cast<int>(frPrinter().PrinterList.indexOf(CupsQueue::queueName()));
        ASSERT_GE(queueIndex, 0);
        if (!queueIsDefault)
            frPrinter().SelectPrinter(queueIndex);
        // After the printer model: the report keeps a reference to it.
        m_report = std::make_unique<TfrReport>();
        report().ShowProgress = false;
        // A title of this test's own picks its jobs out of the queue's output.
        title = QStringLiteral("vaskelprint-%1-%2")
                    .arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()))
                    .arg(QCoreApplication::applicationPid());
        report().Title = title;
        lastJobBefore = lastJobId();
    }

    void TearDown() override
    {
        if (m_printerVariable)
            qputenv("PRINTER", *m_printerVariable);
        else if (m_printerVariableSet)
            qunsetenv("PRINTER");
    }

    // Makes `queue` the system's default printer for this process, as a clerk's PRINTER does;
    // the scheduler's default, which other tests share, stays as it is.
    void makeDefault(const QString& queue)
    {
        if (!m_printerVariableSet) {
            m_printerVariableSet = true;
            if (qEnvironmentVariableIsSet("PRINTER"))
                m_printerVariable = qgetenv("PRINTER");
        }
        qputenv("PRINTER", queue.toLocal8Bit());
    }

    TfrReport& report() { return *m_report; }

    // Pages numbered from 1, "L" in `orientations` for a landscape page, anything else portrait;
    // on A4 or the paper given (code, width and height in tenths of a millimetre).
    void addPages(int count, const QString& orientations = {}, qint32 paperCode = 9, qint32 width = 2100,
        qint32 height = 2970)
    {
        TfrEMFPages& store = report().PreparedPages();
        for (int i = 0; i < count; ++i) {
            const quint8 landscape
                = i < orientations.size() && orientations.at(i) == QLatin1Char('L') ? 1 : 0;
            TfrPage paper(&frPrinter(), paperCode, width, height, TfrPage::kDefaultBin, landscape);
            const int index = store.Count();
            store.InsertPage(index, paper);
            TfrMemoView memo;
            memo.Name = QStringLiteral("Number");
            memo.Left = 40;
            memo.Top = 40;
            memo.Width = 300;
            memo.Height = 24;
            memo.Font.Name = QStringLiteral("Arial");
            memo.Font.Size = 12;
            memo.Memo = QStringList{QStringLiteral("Page %1").arg(index + 1)};
            memo.ExpandedText = memo.Memo;
            ReportStreamWriter w = store.RecordWriter(index);
            PreparedObjectEntry::write(memo, w);
            store.AppendRecords(index, w);
        }
    }

    // The highest job number the queue has seen.
    static int lastJobId()
    {
        QProcess p;
        p.start(QStringLiteral("lpstat"), {"-W", "all", "-o", CupsQueue::queueName()});
        p.waitForFinished(20000);
        int last = 0;
        const QRegularExpression id(CupsQueue::queueName() + QStringLiteral("-(\\d+)"));
        for (auto m = id.globalMatch(QString::fromLocal8Bit(p.readAll())); m.hasNext();)
            last = std::max(last, m.next().captured(1).toInt());
        return last;
    }

    // The PDF files of the jobs this test printed since SetUp, in job order.
    QStringList printedFiles() const
    {
        QStringList files;
        const int last = lastJobId();
        for (int id = lastJobBefore + 1; id <= last; ++id) {
            const QString pdf = CupsQueue::waitForJobOutput(id);
            if (!pdf.isEmpty() && pdf.contains(title.left(20)))
                files << pdf;
        }
        return files;
    }

    // The jobs this test printed since SetUp, in job order.
    std::vector<PrintedJob> printedJobs() const
    {
        std::vector<PrintedJob> jobs;
        for (const QString& pdf : printedFiles())
            jobs.push_back(readBack(pdf));
        return jobs;
    }

    // The text of a printed PDF, pages ending with a form feed.
    static QString textOf(const QString& pdf, const QStringList& options = {})
    {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-"));
        text.waitForFinished(20000);
        return QString::fromUtf8(text.readAllStandardOutput());
    }

    // The page numbers of every job, one list.
    QStringList printedPages() const
    {
        QStringList all;
        for (const PrintedJob& job : printedJobs())
            all += job.pages;
        return all;
    }

    static PrintedJob readBack(const QString& pdf)
    {
        PrintedJob job;
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        text.waitForFinished(20000);
        const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
        const QRegularExpression number(QStringLiteral("Page (\\d+)"));
        for (const QString& page : pages) {
            const auto m = number.match(page);
            if (m.hasMatch())
                job.pages << m.captured(1);
        }
        QProcess boxes;
        boxes.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        boxes.waitForFinished(20000);
        const QRegularExpression word(QStringLiteral(
            "xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">Page<"));
        const QStringList bboxPages
            = QString::fromUtf8(boxes.readAllStandardOutput()).split(QStringLiteral("<page "));
        for (qsizetype i = 1; i < bboxPages.size(); ++i) {
            const auto m = word.match(bboxPages[i]);
            if (m.hasMatch()) {
                const double w = m.captured(3).toDouble() - m.captured(1).toDouble();
                const double h = m.captured(4).toDouble() - m.captured(2).toDouble();
                job.turned.push_back(h > w);
            }
        }
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "999", pdf});
        info.waitForFinished(20000);
        const QRegularExpression size(QStringLiteral("Page +\\d+ size: +([\\d.]+ x [\\d.]+)"));
        for (auto m = size.globalMatch(QString::fromLocal8Bit(info.readAll())); m.hasNext();)
            job.sizes << m.next().captured(1);
        return job;
    }

    // Set by a test's constructor: the queue prints as the system's default printer, never
    // selected by name.
    bool queueIsDefault = false;
    static inline CupsQueue* s_queue = nullptr;
    std::unique_ptr<TfrReport> m_report;
    QString title;
    int queueIndex = -1;
    int lastJobBefore = 0;

private:
    bool m_printerVariableSet = false;
    std::optional<QByteArray> m_printerVariable;
};

} // namespace vaskel::test
