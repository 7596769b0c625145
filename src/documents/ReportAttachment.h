#pragma once

#include "report/ReportPage.h"

#include <QString>

#include <memory>

class QTemporaryDir;

// A report on its way into an e-mail: written on demand as a PDF or as a report file into a
// private folder of its own (readable by the user alone), which goes with this object unless it
// is handed on.
class ReportAttachment
{
public:
    enum class Format
    {
        Pdf,
        ReportFile
    };

    // finished: whether rendering has finished; until it has, nothing is written. name: the file's
    // name without extension (made safe for a file name). Throws Exception when the private
    // folder cannot be made.
    ReportAttachment(RenderedReport pages, bool finished, const QString &name = {});
    ~ReportAttachment();
    ReportAttachment(const ReportAttachment &) = delete;
    ReportAttachment &operator=(const ReportAttachment &) = delete;

    QString fileName(Format format) const;
    QString folder() const;
    QString path(Format format) const;
    // Writes the attachment and returns its path. Throws Exception when it cannot be written.
    QString write(Format format);

    // Hands the folder, with what was written into it, to the caller.
    std::unique_ptr<QTemporaryDir> releaseFolder();

private:
    RenderedReport m_pages;
    bool m_finished;
    QString m_name;
    std::unique_ptr<QTemporaryDir> m_folder;
};
