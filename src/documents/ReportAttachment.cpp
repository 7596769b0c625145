#include "documents/ReportAttachment.h"

#include "documents/ReportMailing.h"
#include "engine/Exception.h"
#include "report/PageFile.h"
#include "report/ReportOutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

ReportAttachment::ReportAttachment(RenderedReport pages, bool finished, const QString &name)
    : m_pages(std::move(pages))
    , m_finished(finished)
    , m_name(ReportMailing::safeFileName(name))
    , m_folder(std::make_unique<QTemporaryDir>(
          QDir(QDir::tempPath()).filePath(u"tessorin-mail-XXXXXX"_s)))
{
    // A folder of the user's own, never a fixed name another user could have made first.
    if (!m_folder->isValid()
        || !QFile::setPermissions(m_folder->path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        throw Exception(u"Cannot create a folder for the attachment in %1: %2"_s.arg(
            QDir::toNativeSeparators(QDir::tempPath()), m_folder->errorString()));
}

ReportAttachment::~ReportAttachment() = default;

QString ReportAttachment::fileName(Format format) const
{
    return m_name + (format == Format::Pdf ? u".pdf"_s : u".QRP"_s);
}

QString ReportAttachment::folder() const
{
    return m_folder ? m_folder->path() : QString();
}

QString ReportAttachment::path(Format format) const
{
    return QDir(folder()).filePath(fileName(format));
}

QString ReportAttachment::write(Format format)
{
    const QString target = path(format);
    if (!m_finished || !m_folder)
        return target; // nothing to attach yet: the mail component reports it missing
    QString error;
    const bool written = format == Format::Pdf ? ReportOutput::writePdf(m_pages, target, &error)
                                               : PageFile::save(target, m_pages, &error);
    if (!written) {
        QFile::remove(target);
        throw Exception(error);
    }
    return target;
}

std::unique_ptr<QTemporaryDir> ReportAttachment::releaseFolder()
{
    return std::move(m_folder);
}
