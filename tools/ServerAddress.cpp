#include "ServerAddress.h"

#include "DataCommand.h"
#include "data/ServerDataDirectory.h"
#include "engine/ServerConnection.h"

#include <QUrl>
#include <QUrlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString source = u"the server address"_s;

[[noreturn]] void refuse(const QString &why)
{
    throw DataToolError(u"Cannot use %1: %2"_s.arg(source, why));
}

bool isUri(const QString &address)
{
    return address.startsWith(u"postgresql://"_s, Qt::CaseInsensitive)
        || address.startsWith(u"postgres://"_s, Qt::CaseInsensitive);
}

// The URI's parts as keyword text.
QString keywordsOfUri(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        refuse(u"it is not a valid postgresql:// address (%1)"_s.arg(url.errorString()));
    if (!url.password().isEmpty()) {
        refuse(u"it holds a password; passwords belong in each user's ~/.pgpass or "
               "~/.pg_service.conf, never on the command line or in the data directory"_s);
    }
    if (url.hasFragment())
        refuse(u"it has a # part, which a server address does not"_s);
    QList<ServerConnection::Keyword> keywords;
    const auto add = [&](const QString &keyword, const QString &value) {
        if (!value.isEmpty())
            keywords.append({ keyword, value });
    };
    add(u"host"_s, url.host(QUrl::FullyDecoded));
    if (url.port() >= 0)
        add(u"port"_s, QString::number(url.port()));
    QString database = url.path(QUrl::FullyDecoded);
    if (database.startsWith(u'/'))
        database.remove(0, 1);
    if (database.contains(u'/'))
        refuse(u"\"%1\" is not a database name"_s.arg(database));
    add(u"dbname"_s, database);
    add(u"user"_s, url.userName(QUrl::FullyDecoded));
    const QUrlQuery query(url);
    for (const auto &[keyword, value] : query.queryItems(QUrl::FullyDecoded))
        keywords.append({ keyword, value });
    return keywordText(keywords);
}

} // namespace

ServerConnection serverFromArgument(const QString &address)
{
    const QString text = isUri(address) ? keywordsOfUri(address) : address;
    try {
        return ServerConnection::fromText(text, source);
    } catch (const Exception &error) {
        throw DataToolError(error.message());
    }
}

std::optional<QString> takeServerOption(QStringList *arguments, bool *malformed)
{
    *malformed = false;
    const qsizetype at = arguments->indexOf(u"--server"_s);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments->size() || arguments->at(at + 1).isEmpty()
        || arguments->lastIndexOf(u"--server"_s) != at) {
        *malformed = true;
        return std::nullopt;
    }
    const QString address = arguments->at(at + 1);
    arguments->remove(at, 2);
    return address;
}
