// Clients: what the rest of the program reads of a client record without moving a view.
#include "data/DataModuleMain.h"
#include "data/Document.h"
#include "engine/ReportQuery.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

QString TDM::defaultEmailAddress(const QString &defaultEmail, const QStringList &addresses)
{
    bool ok = false;
    const int chosen = defaultEmail.trimmed().toInt(&ok);
    if (ok && chosen >= 1 && chosen <= addresses.size()
        && !addresses.at(chosen - 1).trimmed().isEmpty())
        return addresses.at(chosen - 1).trimmed();
    for (const QString &address : addresses) {
        if (!address.trimmed().isEmpty())
            return address.trimmed();
    }
    return {};
}

QString TDM::clientEmailAddress(DocumentKind kind, const QString &number)
{
    const Document &doc = document(kind);
    ReportQuery query(DB);
    query.setSql(uR"(SELECT Clients."Default_Email", Clients."Email1", Clients."Email2",
 Clients."Email3" FROM "Clients.DB" Clients, "%1" Header
WHERE Header."Client_ID" = Clients."Client_ID" AND Header."%2" = :no)"_s.arg(
        doc.header->tableName(), doc.number));
    query.bindValue(u":no"_s, number);
    query.exec();
    if (query.rowCount() == 0)
        return {};
    return defaultEmailAddress(query.value(0, 0).toString(),
        { query.value(0, 1).toString(), query.value(0, 2).toString(),
            query.value(0, 3).toString() });
}
