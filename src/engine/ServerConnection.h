#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <utility>

// Where a data directory's server is: the libpq connection keywords of its Tessorin.server (host,
// port, dbname, sslmode, service...), checked, and a QPSQL connection opened with them. The file
// never holds a password: credentials come from each user's ~/.pgpass, ~/.pg_service.conf,
// PGSERVICE or a client certificate, which libpq reads by itself.
//
// The file is libpq's keyword text: keyword=value pairs separated by spaces or lines, a value in
// single quotes when it holds spaces, lines starting with # ignored.
class ServerConnection
{
public:
    using Keyword = std::pair<QString, QString>;

    static QString fileName() { return QStringLiteral("Tessorin.server"); }

    // The keywords of the file in directory. Throws EDatabaseError naming the file when it is
    // missing, unreadable or malformed, or names a password or a keyword this program does not
    // pass on.
    static ServerConnection fromDirectory(const QString &directory);
    // The keywords of text, read from source (named in the errors). Throws as fromDirectory.
    static ServerConnection fromText(const QString &text, const QString &source);

    const QList<Keyword> &keywords() const { return m_keywords; }
    QString value(const QString &keyword) const;
    // The keywords as one libpq connection string, each value quoted.
    QString connectionString() const;
    // The server for messages: "office on db.example.org", "service office".
    QString serverName() const;

    // Opens a QPSQL connection named connectionName. Throws EDatabaseError naming the server and
    // what went wrong; nothing stays registered under connectionName then.
    QSqlDatabase open(const QString &connectionName) const;

private:
    ServerConnection(QList<Keyword> keywords, QString source);

    QList<Keyword> m_keywords;
    QString m_source;
};
