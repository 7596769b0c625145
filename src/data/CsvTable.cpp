#include "data/CsvTable.h"

#include "data/TextDecoding.h"

using namespace Qt::Literals::StringLiterals;

namespace CsvTable {

namespace {

bool isBlankRecord(const QStringList &fields)
{
    return fields.size() == 1 && fields.first().isEmpty();
}

} // namespace

QList<Record> read(const QByteArray &bytes)
{
    return read(TextDecoding::decode(bytes).text);
}

QList<Record> read(const QString &text)
{
    QList<Record> records;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        Record current;
        current.line = line;
        QString value;
        bool quoted = false; // the field began with a quote
        bool inQuotes = false;
        bool ended = false;
        while (i < n && !ended) {
            const QChar c = text.at(i);
            if (inQuotes) {
                if (c == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    inQuotes = false;
                    ++i;
                    // After the closing quote only a separator or the end of the record may come.
                    if (i < n && text.at(i) != u',' && text.at(i) != u'\r' && text.at(i) != u'\n'
                        && current.error.isEmpty())
                        current.error = u"text follows a closing quote"_s;
                    continue;
                }
                if (c == u'\n')
                    ++line;
                value += c;
                ++i;
                continue;
            }
            if (c == u',') {
                current.fields << value;
                value.clear();
                quoted = false;
                ++i;
            } else if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                    ++i;
                ++i;
                ++line;
                ended = true;
            } else if (c == u'"') {
                if (value.isEmpty() && !quoted) {
                    quoted = true;
                    inQuotes = true;
                } else if (current.error.isEmpty()) {
                    current.error = u"a quote inside a field that does not start with one"_s;
                }
                ++i;
            } else {
                value += c;
                ++i;
            }
        }
        if (inQuotes && current.error.isEmpty())
            current.error = u"a quoted field is not closed"_s;
        current.fields << value;
        if (!isBlankRecord(current.fields) || quoted || !current.error.isEmpty())
            records << current;
    }
    return records;
}

QString field(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r')
        && !text.contains(u'\n'))
        return text;
    QString escaped = text;
    escaped.replace(u"\""_s, u"\"\""_s);
    return u'"' + escaped + u'"';
}

QString record(const QStringList &fields)
{
    QStringList written;
    written.reserve(fields.size());
    for (const QString &text : fields)
        written << field(text);
    return written.join(u',') + u"\r\n"_s;
}

} // namespace CsvTable
