#include "engine/ServerConnection.h"

#include "engine/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlError>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerConnection", text);
}

// The keywords passed on to libpq: where the server is, how to reach and trust it, and where the
// credentials are. Anything else (a password above all) stays out of a shared data directory.
const QSet<QString> &allowedKeywords()
{
    static const QSet<QString> keywords {
        u"host"_s,
        u"hostaddr"_s,
        u"port"_s,
        u"dbname"_s,
        u"user"_s,
        u"service"_s,
        u"passfile"_s,
        u"connect_timeout"_s,
        u"application_name"_s,
        u"options"_s,
        u"keepalives"_s,
        u"keepalives_idle"_s,
        u"keepalives_interval"_s,
        u"keepalives_count"_s,
        u"tcp_user_timeout"_s,
        u"target_session_attrs"_s,
        u"sslmode"_s,
        u"sslrootcert"_s,
        u"sslcert"_s,
        u"sslkey"_s,
        u"sslcrl"_s,
        u"sslcrldir"_s,
        u"sslsni"_s,
        u"ssl_min_protocol_version"_s,
        u"ssl_max_protocol_version"_s,
        u"requirepeer"_s,
        u"channel_binding"_s,
        u"gssencmode"_s,
        u"krbsrvname"_s,
    };
    return keywords;
}

bool isSecret(const QString &keyword)
{
    return keyword == u"password"_s || keyword == u"sslpassword"_s;
}

// Reads libpq's keyword=value text; returns the reason it cannot, or empty.
QString parse(const QString &text, QList<ServerConnection::Keyword> *keywords)
{
    QString body;
    for (const QString &line : text.split(u'\n')) {
        if (!line.trimmed().startsWith(u'#'))
            body += line + u'\n';
    }
    qsizetype at = 0;
    auto skipSpace = [&] {
        while (at < body.size() && body.at(at).isSpace())
            ++at;
    };
    for (skipSpace(); at < body.size(); skipSpace()) {
        const qsizetype start = at;
        while (at < body.size() && body.at(at) != u'=' && !body.at(at).isSpace())
            ++at;
        const QString keyword = body.mid(start, at - start);
        skipSpace();
        if (keyword.isEmpty() || at == body.size() || body.at(at) != u'=')
            return tr("\"%1\" is not keyword=value")
                .arg(keyword.isEmpty() ? body.mid(start, 20) : keyword);
        ++at;
        skipSpace();
        QString value;
        const bool quoted = at < body.size() && body.at(at) == u'\'';
        if (quoted)
            ++at;
        bool closed = !quoted;
        while (at < body.size()) {
            QChar c = body.at(at);
            if (quoted ? c == u'\'' : c.isSpace()) {
                closed = true;
                ++at;
                break;
            }
            if (c == u'\\' && at + 1 < body.size())
                c = body.at(++at);
            value += c;
            ++at;
        }
        if (!closed)
            return tr("the value of %1 has no closing quote").arg(keyword);
        keywords->append({ keyword, value });
    }
    return {};
}

// The reason keywords cannot be passed on, or empty.
QString refusalOf(const QList<ServerConnection::Keyword> &keywords)
{
    if (keywords.isEmpty())
        return tr("it names no server");
    QSet<QString> seen;
    for (const auto &[keyword, value] : keywords) {
        if (isSecret(keyword))
            return tr("it holds a %1; passwords belong in each user's ~/.pgpass or "
                      "~/.pg_service.conf, never in the data directory")
                .arg(keyword);
        if (!allowedKeywords().contains(keyword))
            return tr("unknown keyword \"%1\"").arg(keyword);
        if (seen.contains(keyword))
            return tr("%1 is given twice").arg(keyword);
        seen.insert(keyword);
        // QPSQL reads a semicolon as the end of an option.
        for (const QChar c : value) {
            if (c == u';' || c.category() == QChar::Other_Control)
                return tr("the value of %1 holds a character a connection cannot pass on")
                    .arg(keyword);
        }
    }
    return {};
}

QString quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"'"_s, u"\\'"_s);
    return u'\'' + escaped + u'\'';
}

} // namespace

ServerConnection::ServerConnection(QList<Keyword> keywords, QString source)
    : m_keywords(std::move(keywords))
    , m_source(std::move(source))
{ }

ServerConnection ServerConnection::fromDirectory(const QString &directory)
{
    const QString path = QDir::toNativeSeparators(QDir(directory).filePath(fileName()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(tr("Cannot read %1: %2").arg(path, file.errorString()));
    // Far more than any list of keywords; a larger file is not one.
    constexpr qint64 largest = 64 * 1024;
    const QByteArray bytes = file.read(largest + 1);
    if (bytes.size() > largest)
        throw EDatabaseError(tr("Cannot use %1: %2").arg(path, tr("it is too large")));
    return fromText(QString::fromUtf8(bytes), path);
}

ServerConnection ServerConnection::fromText(const QString &text, const QString &source)
{
    QList<Keyword> keywords;
    QString refusal = parse(text, &keywords);
    if (refusal.isEmpty())
        refusal = refusalOf(keywords);
    if (!refusal.isEmpty())
        throw EDatabaseError(tr("Cannot use %1: %2").arg(source, refusal));
    return ServerConnection(std::move(keywords), source);
}

QString ServerConnection::value(const QString &keyword) const
{
    for (const auto &[name, value] : m_keywords) {
        if (name == keyword)
            return value;
    }
    return {};
}

QString ServerConnection::connectionString() const
{
    QStringList parts;
    for (const auto &[keyword, value] : m_keywords)
        parts << keyword + u'=' + quoted(value);
    // Lets the server's administrator tell our sessions from others'.
    parts << u"fallback_application_name=Tessorin"_s;
    return parts.join(u' ');
}

QString ServerConnection::serverName() const
{
    QString host = value(u"host"_s);
    if (host.isEmpty())
        host = value(u"hostaddr"_s);
    const QString database = value(u"dbname"_s);
    if (host.isEmpty() && database.isEmpty() && !value(u"service"_s).isEmpty())
        return tr("service %1").arg(value(u"service"_s));
    if (host.isEmpty())
        host = tr("the local server");
    return database.isEmpty() ? host : tr("%1 on %2").arg(database, host);
}

QSqlDatabase ServerConnection::open(const QString &connectionName) const
{
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, connectionName);
        if (!db.isValid()) {
            failure = tr("this computer lacks Qt's PostgreSQL driver (libqt6sql6-psql)");
        } else {
            // Every keyword goes through the options, so none is quoted twice or split.
            db.setConnectOptions(connectionString());
            if (db.open())
                return db;
            failure = db.lastError().text().trimmed();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    throw EDatabaseError(
        tr("Cannot connect to %1 (named in %2): %3").arg(serverName(), m_source, failure));
}
