#pragma once

#include "engine/TableDef.h"

#include <QString>
#include <QVariantList>

// A parsed filter expression such as "Status<>'C'" or "Quote_No = 'Q-7' AND Priority < 3".
// Expressions are parsed against a table's fields and turned into a SQL condition with every value
// bound as a parameter: the text of an expression never reaches SQL.
//
// Grammar: expr := and (OR and)*; and := unary (AND unary)*; unary := NOT unary | '(' expr ')' |
// field op literal; op := = <> != < > <= >=; literal := 'text' ('' for a quote) | number.
// Empty fields compare as "" (text) or 0 (numbers), so "Status<>'C'" keeps records without status.
class FilterExpression
{
public:
    // Parses text for def. Throws EDatabaseError with a clear message when the text is malformed,
    // names an unknown field or holds a value the field's type cannot take.
    static FilterExpression parse(const QString &text, const TableDef &def);

    // The condition in SQL with column references qualified by nothing, and its bound values.
    const QString &sql() const { return m_sql; }
    const QVariantList &values() const { return m_values; }

private:
    QString m_sql;
    QVariantList m_values;
};

// A value as stored for a field of the given type: numbers as double, dates as yyyy-MM-dd text,
// Alpha cut to its size, empty text as NULL. Throws EConvertError when text cannot convert.
QVariant storageValue(const FieldDef &field, const QVariant &value);
