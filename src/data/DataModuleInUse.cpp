// Records that quotes, jobs and the price list refer to: a client, group heading, unit or sales
// person still in use is not deleted, and the refusal says what uses it. Each use is counted by
// the database from an index; no record is read into the program.
#include "data/DataModuleMain.h"
#include "data/Errors.h"
#include "engine/Field.h"
#include "engine/ReportQuery.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// One kind of record that may use the one being deleted, and the count of them: the statement's
// every ? takes the record's key (or name).
struct Use
{
    QString one; // "quote"
    QString many; // "quotes"
    QString count; // SELECT COUNT(*) ...
};

QString countedText(int count, const Use &use)
{
    return u"%1 %2"_s.arg(count).arg(count == 1 ? use.one : use.many);
}

// "2 quotes", "2 quotes and 1 job", "2 quotes, 1 job and 3 price-list entries".
QString listText(const QStringList &parts)
{
    if (parts.size() < 2)
        return parts.join(QString());
    return parts.mid(0, parts.size() - 1).join(u", "_s) + u" and "_s + parts.last();
}

const Use quotesOfClient { u"quote"_s, u"quotes"_s,
    u"SELECT COUNT(*) FROM \"Quotes.DB\" WHERE \"Client_ID\" = ?"_s };
const Use jobsOfClient { u"job"_s, u"jobs"_s,
    u"SELECT COUNT(*) FROM \"Jobs.DB\" WHERE \"Client_ID\" = ?"_s };
const Use quotesOfHeading { u"quote"_s, u"quotes"_s,
    u"SELECT COUNT(*) FROM (SELECT \"Quote_No\" FROM \"QMat.DB\" WHERE \"Heading_ID\" = ? "
    "UNION SELECT \"Quote_No\" FROM \"QLab.db\" WHERE \"Heading_ID\" = ?) AS used"_s };
const Use jobsOfHeading { u"job"_s, u"jobs"_s,
    u"SELECT COUNT(*) FROM (SELECT \"Job_No\" FROM \"JobMat.db\" WHERE \"Heading_ID\" = ? "
    "UNION SELECT \"Job_No\" FROM \"JobLab.db\" WHERE \"Heading_ID\" = ?) AS used"_s };
const Use priceListOfHeading { u"price-list entry"_s, u"price-list entries"_s,
    u"SELECT (SELECT COUNT(*) FROM \"Material.DB\" WHERE \"HeadingCode\" = ?) "
    "+ (SELECT COUNT(*) FROM \"Labour.db\" WHERE \"Heading_Code\" = ?)"_s };
const Use priceListOfUnit { u"price-list entry"_s, u"price-list entries"_s,
    u"SELECT (SELECT COUNT(*) FROM \"Material.DB\" WHERE \"Unit_ID\" = ?) "
    "+ (SELECT COUNT(*) FROM \"Labour.db\" WHERE \"Unit_ID\" = ?)"_s };
const Use quotesOfSalesPerson { u"quote"_s, u"quotes"_s,
    u"SELECT COUNT(*) FROM \"Quotes.DB\" WHERE \"SalesPerson\" = ?"_s };
const Use jobsOfSalesPerson { u"job"_s, u"jobs"_s,
    u"SELECT COUNT(*) FROM \"Jobs.DB\" WHERE \"SalesPerson\" = ?"_s };

// The refusal for deleting the record of that key, or nothing when no record uses it.
QString inUseText(
    TQVDatabase *database, const QString &record, const QVariant &key, const QList<Use> &uses)
{
    QStringList parts;
    for (const Use &use : uses) {
        ReportQuery query(database);
        query.setSql(use.count);
        for (qsizetype i = 0; i < use.count.count(u'?'); ++i)
            query.addBindValue(key);
        query.exec();
        const int count = query.value(0, 0).toInt();
        if (count > 0)
            parts << countedText(count, use);
    }
    if (parts.isEmpty())
        return {};
    return u"This %1 is used by %2 and cannot be deleted."_s.arg(record, listText(parts));
}

} // namespace

void TDM::bindInUseChecks()
{
    auto refuseInUse = [this](TQVTable *view, const QString &record, const QString &keyField,
                           const QList<Use> &uses) {
        view->beforeDelete = [this, record, keyField, uses](TableView &doomed) {
            const QString refusal =
                inUseText(DB, record, doomed.fieldByName(keyField)->value(), uses);
            if (!refusal.isEmpty())
                throw EQuorvane(refusal);
        };
    };
    for (TQVTable *clients : { tblClients, tblClientDetails, tblDisplayClients })
        refuseInUse(clients, u"client"_s, u"Client_ID"_s, { quotesOfClient, jobsOfClient });
    refuseInUse(tblHeadings, u"heading"_s, u"Heading_ID"_s,
        { quotesOfHeading, jobsOfHeading, priceListOfHeading });
    refuseInUse(tblUnit, u"unit"_s, u"Unit_ID"_s, { priceListOfUnit });
    refuseInUse(
        tblSales, u"sales person"_s, u"Salesman"_s, { quotesOfSalesPerson, jobsOfSalesPerson });
}
