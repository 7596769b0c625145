#include "data/ConsistencyCheck.h"

#include "data/DataDirectory.h"
#include "data/Errors.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/ServerConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

using Rows = QList<QVariantList>;

// The names by which quotes and jobs differ in the stored files.
struct DocumentFiles
{
    QString noun;
    QString header;
    QString materials;
    QString labour;
    QString printed;
    QString key;
    QString number;
    QString total;
    QString repId;
    QString counter;
    QString counterNext;
};

const DocumentFiles quoteFiles { u"Quote"_s, u"Quotes.DB"_s, u"QMat.DB"_s, u"QLab.db"_s,
    u"RepQte.DB"_s, u"Quote_ID"_s, u"Quote_No"_s, u"QuoteTotal"_s, u"Quote_RepID"_s,
    u"NxtQuote.db"_s, u"NextQuote"_s };
const DocumentFiles jobFiles { u"Job"_s, u"Jobs.DB"_s, u"JobMat.db"_s, u"JobLab.db"_s,
    u"RepJobs.DB"_s, u"Job_ID"_s, u"Job_No"_s, u"JobTotal"_s, u"Job_RepID"_s, u"NxtJob.db"_s,
    u"NextJob"_s };

// Every field that takes its values from the one key counter, with its file.
const std::pair<QString, QString> keyFields[] = {
    { u"Quotes.DB"_s, u"Quote_ID"_s },
    { u"Jobs.DB"_s, u"Job_ID"_s },
    { u"QMat.DB"_s, u"Quote_ID"_s },
    { u"QMat.DB"_s, u"Quote_RepID"_s },
    { u"QLab.db"_s, u"Quote_ID"_s },
    { u"QLab.db"_s, u"Quote_RepID"_s },
    { u"JobMat.db"_s, u"Job_ID"_s },
    { u"JobMat.db"_s, u"Job_RepID"_s },
    { u"JobLab.db"_s, u"Job_ID"_s },
    { u"JobLab.db"_s, u"Job_RepID"_s },
    { u"RepQte.DB"_s, u"ID"_s },
    { u"RepJobs.DB"_s, u"ID"_s },
    { u"Clients.DB"_s, u"Client_ID"_s },
    { u"Material.DB"_s, u"Material_ID"_s },
    { u"Labour.db"_s, u"Labour_ID"_s },
    { u"Headings.db"_s, u"Heading_ID"_s },
    { u"Unit.db"_s, u"Unit_ID"_s },
    { u"TaxRates.db"_s, u"ID"_s },
    { u"Sales.db"_s, u"ID"_s },
    { u"Business.db"_s, u"Company_ID"_s },
    { u"BusType.db"_s, u"Business_Type_ID"_s },
};

// Labour lines and printed rows hold this much of a document number.
constexpr int shortNumberSize = 10;

QString amount(double value)
{
    return QString::number(value, 'g', 15);
}

QString keyText(double key)
{
    return QString::number(key, 'f', 0);
}

} // namespace

ConsistencyCheck::ConsistencyCheck(const QString &directory)
    : m_directory(directory)
{
    if (!QFileInfo(directory).isDir())
        throw EDataDirectory(u"%1 is not a directory"_s.arg(QDir::toNativeSeparators(directory)));
    const QString path = QDir(directory).filePath(EmbeddedStore::databaseFileName());
    if (!QFileInfo(path).isFile()
        && !QFileInfo::exists(QDir(directory).filePath(ServerConnection::fileName())))
        throw EDataDirectory(u"%1 is missing"_s.arg(QDir::toNativeSeparators(path)));
    // Opened as the program opens it: a journal left by a copy that was killed is played back
    // first. Nothing is written.
    try {
        m_store = SqlStore::connect(tessorinSchema(), directory);
        checkTables(*m_store);
    } catch (const Exception &error) {
        throw EDataDirectory(error.message());
    }
}

ConsistencyCheck::~ConsistencyCheck() = default;

// Runs sql, in which the table is called data, on the table file.
static Rows readRows(SqlStore &store, const QString &file, const QString &sql)
{
    QSqlQuery query(store.connection());
    query.setForwardOnly(true);
    QString statement = sql;
    const TableDef *def = tessorinSchema().resolve(file);
    statement.replace(
        u" FROM data"_s, u" FROM "_s + (def ? SqlStore::tableRef(*def) : SqlStore::quoted(file)));
    if (!query.exec(statement))
        throw EDataDirectory(u"Cannot read %1: %2"_s.arg(file, query.lastError().text()));
    Rows rows;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << query.value(i);
        rows << row;
    }
    query.finish(); // a statement left stepping would hold the file's read lock
    return rows;
}

bool ConsistencyCheck::sameAmount(double a, double b)
{
    return std::fabs(a - b) <= 1e-6 * std::max({ 1.0, std::fabs(a), std::fabs(b) });
}

QStringList ConsistencyCheck::run()
{
    m_counts = {};
    QStringList problems;
    // One read: every table is read as one commit left it.
    try {
        m_store->beginSnapshot();
    } catch (const Exception &error) {
        throw EDataDirectory(error.message());
    }
    struct EndRead
    {
        SqlStore &store;
        ~EndRead() { store.endSnapshot(); }
    } endRead { *m_store };
    QStringList damage;
    try {
        damage = m_store->integrityProblems();
    } catch (const Exception &error) {
        throw EDataDirectory(error.message());
    }
    for (const QString &line : std::as_const(damage))
        problems << u"The database is damaged: %1"_s.arg(line);
    checkDocuments(false, problems);
    checkDocuments(true, problems);
    checkKeys(problems);
    checkCounter(false, problems);
    checkCounter(true, problems);
    checkUndoRows(problems);
    return problems;
}

QString ConsistencyCheck::summary() const
{
    return u"%1 quotes, %2 jobs, %3 lines, %4 printed rows, %5 keys (last key %6)"_s
        .arg(m_counts.quotes)
        .arg(m_counts.jobs)
        .arg(m_counts.lines)
        .arg(m_counts.printedRows)
        .arg(m_counts.keys)
        .arg(keyText(m_counts.currentKey));
}

void ConsistencyCheck::checkDocuments(bool job, QStringList &problems)
{
    const DocumentFiles &d = job ? jobFiles : quoteFiles;
    struct Header
    {
        QString number;
        double materials = 0, labour = 0, total = 0; // as stored
        double materialLines = 0, labourLines = 0; // as the lines add up
    };
    QList<Header> headers;
    QHash<QString, int> byNumber;
    QHash<QString, int> byShortNumber;
    const Rows headerRows = readRows(*m_store, d.header,
        u"SELECT \"%1\", COALESCE(\"TotalMaterials\", 0), COALESCE(\"TotalLabour\", 0), "
        "COALESCE(\"%2\", 0) FROM data ORDER BY \"%3\" NULLS FIRST"_s.arg(
            d.number, d.total, d.key));
    for (const QVariantList &row : headerRows) {
        Header header;
        header.number = row.at(0).toString();
        header.materials = row.at(1).toDouble();
        header.labour = row.at(2).toDouble();
        header.total = row.at(3).toDouble();
        if (byNumber.contains(header.number)) {
            problems << u"%1 number \"%2\" is carried by more than one %3"_s.arg(
                d.noun, header.number, d.noun.toLower());
            continue;
        }
        byNumber.insert(header.number, int(headers.size()));
        byShortNumber.insert(header.number.left(shortNumberSize), int(headers.size()));
        headers << header;
    }
    (job ? m_counts.jobs : m_counts.quotes) = int(headers.size());

    // Rep_ID -> printed rows with that Rep_ID, as (ID, Number).
    QMap<double, QList<std::pair<double, QString>>> printed;
    const Rows printedRows =
        readRows(*m_store, d.printed, u"SELECT \"ID\", \"Number\", \"Rep_ID\" FROM data"_s);
    for (const QVariantList &row : printedRows)
        printed[row.at(2).toDouble()] << std::pair { row.at(0).toDouble(), row.at(1).toString() };
    m_counts.printedRows += int(printedRows.size());
    QSet<double> printedUsed;

    for (bool material : { true, false }) {
        const QString file = material ? d.materials : d.labour;
        const QString kind = material ? u"material"_s : u"labour"_s;
        const Rows lines = readRows(*m_store, file,
            u"SELECT \"%1\", \"%2\", COALESCE(\"TotalCharge\", 0), \"%3\" FROM data "
            "ORDER BY \"%1\" NULLS FIRST"_s.arg(d.key, d.number, d.repId));
        m_counts.lines += int(lines.size());
        for (const QVariantList &line : lines) {
            const QString lineKey = keyText(line.at(0).toDouble());
            const QString number = line.at(1).toString();
            const int index =
                material ? byNumber.value(number, -1) : byShortNumber.value(number, -1);
            if (index < 0) {
                problems << u"%1: %2 line %3 belongs to no %4 (number \"%5\")"_s.arg(
                    file, kind, lineKey, d.noun.toLower(), number);
                continue;
            }
            Header &header = headers[index];
            (material ? header.materialLines : header.labourLines) += line.at(2).toDouble();
            const double repId = line.at(3).toDouble();
            const auto rows = printed.value(repId);
            printedUsed.insert(repId);
            if (line.at(3).isNull() || rows.size() != 1) {
                problems << u"%1 %2: %3 line %4 has %5 printed rows with Rep_ID %6 (one expected)"_s
                                .arg(d.noun, header.number, kind, lineKey)
                                .arg(rows.size())
                                .arg(keyText(repId));
            } else if (rows.first().second != header.number.left(shortNumberSize)) {
                problems << u"%1 %2: the printed row of %3 line %4 carries the number \"%5\""_s.arg(
                    d.noun, header.number, kind, lineKey, rows.first().second);
            }
        }
    }
    for (auto it = printed.cbegin(); it != printed.cend(); ++it) {
        if (printedUsed.contains(it.key()))
            continue;
        for (const auto &[id, number] : it.value()) {
            problems << u"%1: printed row %2 (Rep_ID %3, number \"%4\") belongs to no line"_s.arg(
                d.printed, keyText(id), keyText(it.key()), number);
        }
    }
    for (const Header &header : std::as_const(headers)) {
        const std::pair<const char *, std::pair<double, double>> sums[] = {
            { "TotalMaterials", { header.materials, header.materialLines } },
            { "TotalLabour", { header.labour, header.labourLines } },
            { nullptr, { header.total, header.materialLines + header.labourLines } },
        };
        for (const auto &[name, values] : sums) {
            if (sameAmount(values.first, values.second))
                continue;
            problems << u"%1 %2: %3 is %4 but its lines add up to %5"_s.arg(d.noun, header.number,
                name ? QString::fromLatin1(name) : d.total, amount(values.first),
                amount(values.second));
        }
    }
}

void ConsistencyCheck::checkKeys(QStringList &problems)
{
    const Rows counter = readRows(*m_store, u"PKey.DB"_s,
        u"SELECT COALESCE(\"CurrentKey\", 0) FROM data WHERE \"PrimaryKey\" = 1"_s);
    if (counter.isEmpty())
        problems << u"PKey.DB: the key counter row is missing"_s;
    const double current = counter.isEmpty() ? 0 : counter.first().at(0).toDouble();
    m_counts.currentKey = current;
    QHash<double, QString> issued; // key -> where it was first seen
    for (const auto &[file, field] : keyFields) {
        const Rows rows = readRows(*m_store, file, u"SELECT \"%1\" FROM data"_s.arg(field));
        for (const QVariantList &row : rows) {
            const QString place = u"%1 %2"_s.arg(file, field);
            if (row.at(0).isNull()) {
                problems << u"%1: a record has no key"_s.arg(place);
                continue;
            }
            const double key = row.at(0).toDouble();
            ++m_counts.keys;
            if (key < 1 || key != std::floor(key))
                problems << u"%1: %2 is not a key the counter issues"_s.arg(place, amount(key));
            else if (key > current)
                problems << u"%1: key %2 is above the key counter (%3)"_s.arg(
                    place, keyText(key), keyText(current));
            const auto seen = issued.constFind(key);
            if (seen != issued.cend())
                problems << u"Key %1 is used twice: %2 and %3"_s.arg(
                    keyText(key), seen.value(), place);
            else
                issued.insert(key, place);
        }
    }
}

void ConsistencyCheck::checkCounter(bool job, QStringList &problems)
{
    const DocumentFiles &d = job ? jobFiles : quoteFiles;
    const Rows counter = readRows(*m_store, d.counter,
        u"SELECT COALESCE(\"Prefix\", ''), COALESCE(\"%1\", 0), COALESCE(\"Suffix\", '') "
        "FROM data WHERE \"%2\" = 1"_s.arg(d.counterNext, d.key));
    if (counter.isEmpty())
        return; // the first new document makes the row and starts at 1
    const QString prefix = counter.first().at(0).toString().trimmed();
    const double next = counter.first().at(1).toDouble();
    const QString suffix = counter.first().at(2).toString().trimmed();
    const Rows numbers = readRows(*m_store, d.header, u"SELECT \"%1\" FROM data"_s.arg(d.number));
    for (const QVariantList &row : numbers) {
        const QString number = row.at(0).toString();
        if (!number.startsWith(prefix) || !number.endsWith(suffix)
            || number.size() <= prefix.size() + suffix.size())
            continue;
        const QString digits =
            number.mid(prefix.size(), number.size() - prefix.size() - suffix.size());
        bool isNumber = false;
        const double value = digits.toDouble(&isNumber);
        if (!isNumber
            || !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c.isDigit(); }))
            continue; // typed by hand, not made from the counter
        if (value >= next) {
            problems << u"%1: the next number %2 is not ahead of the stored %3 %4"_s.arg(
                d.counter, amount(next), d.noun.toLower(), number);
        }
    }
}

void ConsistencyCheck::checkUndoRows(QStringList &problems)
{
    const Rows rows = readRows(*m_store, u"global.db"_s,
        u"SELECT \"GLOBAL_KEY\", COALESCE(\"ID_FIELD\", 0), COALESCE(\"ALPHA\", '') FROM data"_s);
    for (const QVariantList &row : rows) {
        problems << u"global.db: an undo row is left over for \"%1\" (%2, charge %3)"_s.arg(
            row.at(0).toString(), row.at(2).toString(), amount(row.at(1).toDouble()));
    }
}
