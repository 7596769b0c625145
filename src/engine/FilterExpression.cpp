#include "engine/FilterExpression.h"

#include "engine/Exception.h"
#include "engine/SqlStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QScopeGuard>

#include <cmath>

namespace {

enum class TokenKind
{
    End,
    Identifier,
    String,
    Number,
    Operator,
    LParen,
    RParen,
    And,
    Or,
    Not
};

struct Token
{
    TokenKind kind = TokenKind::End;
    QString text;
    int position = 0;
};

QString tr(const char *text)
{
    return QCoreApplication::translate("FilterExpression", text);
}

class Parser
{
public:
    Parser(const QString &text, const TableDef &def)
        : m_text(text)
        , m_def(def)
    {
        advance();
    }

    void parse(QString &sql, QVariantList &values)
    {
        if (m_token.kind == TokenKind::End)
            fail(tr("the expression is empty"));
        sql = parseOr(values);
        if (m_token.kind != TokenKind::End)
            fail(tr("unexpected \"%1\"").arg(m_token.text));
    }

private:
    [[noreturn]] void fail(const QString &why) const
    {
        throw EDatabaseError(tr("Invalid filter expression \"%1\" at position %2: %3")
                                 .arg(m_text)
                                 .arg(m_token.position + 1)
                                 .arg(why));
    }

    void advance()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
        m_token = Token();
        m_token.position = int(m_pos);
        if (m_pos >= m_text.size())
            return;
        const QChar c = m_text.at(m_pos);
        if (c == u'(' || c == u')') {
            m_token.kind = c == u'(' ? TokenKind::LParen : TokenKind::RParen;
            m_token.text = c;
            ++m_pos;
        } else if (c == u'\'') {
            lexString();
        } else if (c == u'"') {
            lexQuotedIdentifier();
        } else if (c.isDigit()
            || ((c == u'-' || c == u'.') && m_pos + 1 < m_text.size()
                && (m_text.at(m_pos + 1).isDigit() || m_text.at(m_pos + 1) == u'.'))) {
            lexNumber();
        } else if (c == u'=' || c == u'<' || c == u'>' || c == u'!') {
            lexOperator();
        } else if (c.isLetter() || c == u'_') {
            lexWord();
        } else {
            fail(tr("unexpected character \"%1\"").arg(c));
        }
    }

    void lexString()
    {
        QString value;
        ++m_pos;
        for (;;) {
            if (m_pos >= m_text.size())
                fail(tr("a quoted value is not closed"));
            const QChar c = m_text.at(m_pos++);
            if (c == u'\'') {
                if (m_pos < m_text.size() && m_text.at(m_pos) == u'\'') {
                    value += u'\'';
                    ++m_pos;
                    continue;
                }
                break;
            }
            value += c;
        }
        m_token.kind = TokenKind::String;
        m_token.text = value;
    }

    void lexQuotedIdentifier()
    {
        const qsizetype end = m_text.indexOf(u'"', m_pos + 1);
        if (end < 0)
            fail(tr("a quoted field name is not closed"));
        m_token.kind = TokenKind::Identifier;
        m_token.text = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = end + 1;
    }

    void lexNumber()
    {
        const qsizetype start = m_pos;
        if (m_text.at(m_pos) == u'-')
            ++m_pos;
        while (m_pos < m_text.size() && (m_text.at(m_pos).isDigit() || m_text.at(m_pos) == u'.'))
            ++m_pos;
        if (m_pos < m_text.size() && (m_text.at(m_pos).isLetter() || m_text.at(m_pos) == u'_'))
            fail(tr("\"%1\" is not a number").arg(m_text.mid(start, m_pos - start + 1)));
        m_token.kind = TokenKind::Number;
        m_token.text = m_text.mid(start, m_pos - start);
    }

    void lexOperator()
    {
        static const QStringList operators = { QStringLiteral("<>"), QStringLiteral("!="),
            QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("="), QStringLiteral("<"),
            QStringLiteral(">") };
        for (const QString &op : operators) {
            if (QStringView(m_text).mid(m_pos).startsWith(op)) {
                m_token.kind = TokenKind::Operator;
                m_token.text = op == QStringLiteral("!=") ? QStringLiteral("<>") : op;
                m_pos += op.size();
                return;
            }
        }
        fail(tr("unknown operator"));
    }

    void lexWord()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()
            && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_'))
            ++m_pos;
        m_token.text = m_text.mid(start, m_pos - start);
        const QString upper = m_token.text.toUpper();
        if (upper == QStringLiteral("AND"))
            m_token.kind = TokenKind::And;
        else if (upper == QStringLiteral("OR"))
            m_token.kind = TokenKind::Or;
        else if (upper == QStringLiteral("NOT"))
            m_token.kind = TokenKind::Not;
        else
            m_token.kind = TokenKind::Identifier;
    }

    QString parseOr(QVariantList &values)
    {
        QString sql = parseAnd(values);
        while (m_token.kind == TokenKind::Or) {
            advance();
            sql = QStringLiteral("(%1 OR %2)").arg(sql, parseAnd(values));
        }
        return sql;
    }

    QString parseAnd(QVariantList &values)
    {
        QString sql = parseUnary(values);
        while (m_token.kind == TokenKind::And) {
            advance();
            sql = QStringLiteral("(%1 AND %2)").arg(sql, parseUnary(values));
        }
        return sql;
    }

    QString parseUnary(QVariantList &values)
    {
        // Each bracket and NOT is a level of recursion here and in SQLite's own parser: a filter
        // nested deeper than any person writes is refused before either runs out of stack.
        if (++m_depth > maxNesting)
            fail(tr("brackets and NOT nested more than %1 deep").arg(maxNesting));
        const auto leave = qScopeGuard([this] { --m_depth; });
        if (m_token.kind == TokenKind::Not) {
            advance();
            return QStringLiteral("(NOT %1)").arg(parseUnary(values));
        }
        if (m_token.kind == TokenKind::LParen) {
            advance();
            const QString inner = parseOr(values);
            if (m_token.kind != TokenKind::RParen)
                fail(tr("\")\" expected"));
            advance();
            return inner;
        }
        return parseComparison(values);
    }

    QString parseComparison(QVariantList &values)
    {
        if (m_token.kind != TokenKind::Identifier)
            fail(tr("a field name expected"));
        const int fieldIndex = m_def.fieldIndex(m_token.text);
        if (fieldIndex < 0)
            fail(tr("the table %1 has no field %2").arg(m_def.fileName, m_token.text));
        const FieldDef &field = m_def.fields.at(fieldIndex);
        if (field.type == FieldType::Graphic || field.type == FieldType::Memo)
            fail(tr("the field %1 cannot be compared").arg(field.name));
        advance();
        if (m_token.kind != TokenKind::Operator)
            fail(tr("a comparison operator expected after %1").arg(field.name));
        const QString op = m_token.text;
        advance();
        if (m_token.kind != TokenKind::String && m_token.kind != TokenKind::Number)
            fail(tr("a value expected after %1").arg(op));
        const QString literal = m_token.text;
        QVariant value;
        try {
            value = storageValue(field, literal);
        } catch (const Exception &error) {
            fail(tr("%1 is not a valid value for the field %2").arg(literal, field.name));
        }
        advance();
        return comparisonSql(field, op, value, values);
    }

    static QString comparisonSql(
        const FieldDef &field, const QString &op, const QVariant &value, QVariantList &values)
    {
        const QString column = SqlStore::quoted(field.name);
        const bool numeric = isNumericType(field.type);
        // An empty field reads as 0 or "": compare through COALESCE except where a plain
        // comparison gives the same answer, which keeps indexes usable for the common equality
        // filters.
        const QVariant emptyValue = numeric ? QVariant(0.0) : QVariant(QString());
        const QVariant compared = value.isNull() ? emptyValue : value;
        const bool valueIsEmpty =
            numeric ? compared.toDouble() == 0.0 : compared.toString().isEmpty();
        values << compared;
        if (op == QStringLiteral("=") && !valueIsEmpty)
            return QStringLiteral("%1 = ?").arg(column);
        const QString emptyLiteral = numeric ? QStringLiteral("0") : QStringLiteral("''");
        return QStringLiteral("COALESCE(%1, %2) %3 ?").arg(column, emptyLiteral, op);
    }

    const QString &m_text;
    const TableDef &m_def;
    qsizetype m_pos = 0;
    Token m_token;
    static constexpr int maxNesting = 100;
    int m_depth = 0;
};

} // namespace

FilterExpression FilterExpression::parse(const QString &text, const TableDef &def)
{
    FilterExpression expression;
    Parser(text, def).parse(expression.m_sql, expression.m_values);
    return expression;
}

// Money, and a number shown as money, keeps four decimals, so that adding and taking off the
// same amounts comes back to exactly what it was: a sum of nothing is 0, not -0 or 1e-17. Amounts
// too large for four decimals to mean anything, and those that are not numbers at all, stay as
// they are.
static double moneyValue(double amount)
{
    if (!std::isfinite(amount) || std::abs(amount) >= 1e11)
        return amount;
    const double rounded = std::round(amount * 10000) / 10000;
    return rounded == 0 ? 0.0 : rounded;
}

QVariant storageValue(const FieldDef &field, const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Alpha: {
        const QString text = value.toString().left(field.size);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case FieldType::Memo: {
        const QString text = value.toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case FieldType::Number:
    case FieldType::Money:
    case FieldType::NumberMoney: {
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int
            || value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::UInt
            || value.typeId() == QMetaType::ULongLong)
            return field.type == FieldType::Number ? value.toDouble()
                                                   : moneyValue(value.toDouble());
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok) {
            throw EConvertError(
                QCoreApplication::translate("Field", "'%1' is not a valid floating point value")
                    .arg(value.toString()));
        }
        return field.type == FieldType::Number ? number : moneyValue(number);
    }
    case FieldType::Date: {
        if (value.typeId() == QMetaType::QDate) {
            const QDate date = value.toDate();
            return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
        }
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid()) {
            throw EConvertError(
                QCoreApplication::translate("Field", "'%1' is not a valid date").arg(text));
        }
        return date.toString(Qt::ISODate);
    }
    case FieldType::Graphic: {
        const QByteArray bytes = value.toByteArray();
        return bytes.isEmpty() ? QVariant() : QVariant(bytes);
    }
    }
    return {};
}
