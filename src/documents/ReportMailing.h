#pragma once

#include <QString>

// How a report goes out by e-mail: the subject and recipient the send dialog starts with, and the
// name its attachment carries. A report that knows no better goes as "A Report".
struct ReportMailing
{
    // Which report the message is about; a draft kept after a failed send comes back only for it.
    QString report;
    QString subject = QStringLiteral("A Report");
    // The attachment's name without its extension; made safe for a file name when written.
    QString attachmentName = QStringLiteral("Velbric Report");
    QString recipient;

    // name with every character that a file name may not hold (on any desktop the file may
    // reach) replaced by '_', blanks at either end and dots at the start taken off.
    static QString safeFileName(const QString &name);
};
