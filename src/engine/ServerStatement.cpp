#include "engine/ServerStatement.h"

#include <QLocale>

#include <libpq-fe.h>

namespace {

// The server's own numbering, $1, $2, ..., for the placeholders outside quoted text and names.
QByteArray numberedPlaceholders(const QString &sql)
{
    QByteArray numbered;
    numbered.reserve(sql.size() + 16);
    const QByteArray text = sql.toUtf8();
    char quote = 0;
    int next = 1;
    for (const char c : text) {
        if (quote) {
            quote = c == quote ? 0 : quote; // a doubled quote closes and opens again
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            numbered += '$' + QByteArray::number(next++);
            continue;
        }
        numbered += c;
    }
    return numbered;
}

// Built-in type ids of the server's catalogue.
enum : Oid {
    boolType = 16,
    byteaType = 17,
    int8Type = 20,
    int2Type = 21,
    int4Type = 23,
    float4Type = 700,
    float8Type = 701,
    numericType = 1700,
};

} // namespace

ServerStatement::ServerStatement(const QString &sql, const QVariantList &values)
    : m_sql(numberedPlaceholders(sql))
{
    m_values.reserve(values.size());
    for (const QVariant &value : values) {
        int format = 0;
        if (value.isNull()) {
            m_values.emplace_back();
        } else if (value.typeId() == QMetaType::QByteArray) {
            m_values.push_back(value.toByteArray());
            format = 1;
        } else if (value.typeId() == QMetaType::Double) {
            m_values.push_back(
                QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
        } else if (value.typeId() == QMetaType::Bool) {
            m_values.push_back(value.toBool() ? "true" : "false");
        } else {
            m_values.push_back(value.toString().toUtf8());
        }
        m_pointers.push_back(value.isNull() ? nullptr : m_values.back().constData());
        m_lengths.push_back(int(m_values.back().size()));
        m_formats.push_back(format);
    }
}

bool ServerStatement::send(pg_conn *handle, const QByteArray &preparedName) const
{
    if (!preparedName.isEmpty()) {
        return PQsendQueryPrepared(handle, preparedName.constData(), int(m_pointers.size()),
                   m_pointers.data(), m_lengths.data(), m_formats.data(), 0)
            == 1;
    }
    return PQsendQueryParams(handle, m_sql.constData(), int(m_pointers.size()), nullptr,
               m_pointers.data(), m_lengths.data(), m_formats.data(), 0)
        == 1;
}

QVariantList ServerStatement::firstRow(const pg_result *result)
{
    QVariantList row;
    if (PQntuples(result) < 1)
        return row;
    for (int column = 0; column < PQnfields(result); ++column) {
        if (PQgetisnull(result, 0, column)) {
            row << QVariant();
            continue;
        }
        const char *text = PQgetvalue(result, 0, column);
        switch (PQftype(result, column)) {
        case boolType:
            row << QVariant(*text == 't');
            break;
        case int2Type:
        case int4Type:
        case int8Type:
            row << QVariant(QByteArray(text).toLongLong());
            break;
        case float4Type:
        case float8Type:
        case numericType:
            row << QVariant(QByteArray(text).toDouble());
            break;
        case byteaType: {
            size_t length = 0;
            unsigned char *bytes =
                PQunescapeBytea(reinterpret_cast<const unsigned char *>(text), &length);
            row << QVariant(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(length)));
            PQfreemem(bytes);
            break;
        }
        default:
            row << QVariant(QString::fromUtf8(text));
        }
    }
    return row;
}
