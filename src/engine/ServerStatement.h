#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <vector>

struct pg_conn;
struct pg_result;

// One of the engine's statements (its "?" placeholders in order) sent through libpq rather than
// Qt's driver, so that it can share a round trip with others: its values go as the driver would
// bind them, and a row it returns comes back as the driver would read it.
class ServerStatement
{
public:
    ServerStatement(const QString &sql, const QVariantList &values);

    // Queues the statement on the connection (in pipeline mode) or sends it, as the prepared
    // statement of that name where one is given. False when libpq refused it.
    bool send(pg_conn *handle, const QByteArray &preparedName = {}) const;

    // The text the server gets, its placeholders numbered.
    const QByteArray &sql() const { return m_sql; }

    // The first row of a result, its values typed by their columns' types; empty without rows.
    static QVariantList firstRow(const pg_result *result);

private:
    QByteArray m_sql;
    std::vector<QByteArray> m_values;
    std::vector<const char *> m_pointers; // null for NULL
    std::vector<int> m_lengths;
    std::vector<int> m_formats; // binary for blobs, text for the rest
};
