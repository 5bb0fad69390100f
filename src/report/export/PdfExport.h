#pragma once
// Prepared pages as a PDF file, drawn through cairo's PDF surface: one PDF page per prepared page
// at its paper size, each page drawn into the rectangle the print run uses (the whole sheet for
// pages with the margins flag, otherwise the printable area inside the margins). Text stays text,
// in subsets of the fonts the screen uses, with the characters it stands for; the document
// information carries the title, author, subject and creator given. The preview's Export to PDF
// and `vaskel render --pdf` both write through here.
#include "report/engine/TfrEMFPages.h"
#include "report/export/ReportExporter.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace vaskel {

class PdfExport final : public ReportExporter {
public:
    // An empty report gives one blank A4 page.
    bool write(TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info,
        const Progress& progress = {}) override;
};

// The PDF of a report run, written while the run prepares its pages: the run's final pass hands
// each page over once it is final (set it as the store's FinishedPageSink), and a thread of the
// writer's own draws it into the file while the next pages are prepared. The file is the one
// PdfExport writes from the finished store. The writer reads only the pages handed to it, never
// the run's state; the run's thread calls everything here.
class PdfRunWriter final : public FinishedPageSink {
public:
    PdfRunWriter(const QString& fileName, const ExportDocumentInfo& info);
    // Stops the writer; a file not finished stays as it was.
    ~PdfRunWriter() override;
    PdfRunWriter(const PdfRunWriter&) = delete;
    PdfRunWriter& operator=(const PdfRunWriter&) = delete;

    void pageFinished(std::unique_ptr<TfrPreparedPage> page) override;
    // Every page has been handed over: waits for the writer and puts the file in its place.
    // Throws what writing met, as PdfExport does.
    void finish();

private:
    void writePages(); // the writer's thread
    std::unique_ptr<TfrPreparedPage> nextPage(); // null once closed and drawn, or abandoned
    bool pageExists(int page);

    const QString m_fileName;
    const ExportDocumentInfo m_info;
    std::map<QString, std::shared_ptr<const CodePage>> m_codePages; // the writer's converters
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<TfrPreparedPage>> m_queue;
    int m_received = 0;
    bool m_closed = false;
    bool m_abandoned = false;
    std::exception_ptr m_failure;
    std::thread m_thread; // last: started once everything above exists
};

} // namespace vaskel
