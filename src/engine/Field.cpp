#include "engine/Field.h"

#include "engine/Exception.h"
#include "engine/FilterExpression.h"
#include "engine/TableView.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

Field::Field(TableView *view, int index, const FieldDef &def, Kind kind)
    : m_view(view)
    , m_index(index)
    , m_def(def)
    , m_kind(kind)
{ }

bool Field::isCurrency() const
{
    return m_def.type == FieldType::Money || m_def.type == FieldType::NumberMoney;
}

bool Field::isNull() const
{
    return m_view->activeValue(m_index).isNull();
}

QVariant Field::value() const
{
    const QVariant &stored = m_view->activeValue(m_index);
    if (stored.isNull())
        return {};
    if (m_def.type == FieldType::Date)
        return QDate::fromString(stored.toString(), Qt::ISODate);
    return stored;
}

void Field::setValue(const QVariant &value)
{
    const QVariant stored = storageValue(m_def, value);
    // An overflowed amount would poison every sum it is added to; it is never stored.
    if (isNumeric() && m_kind == Kind::Data && !stored.isNull()
        && !std::isfinite(stored.toDouble())) {
        throw EConvertError(
            QCoreApplication::translate("Field", "The amount for '%1' is too large to be stored")
                .arg(m_def.name));
    }
    m_view->setActiveValue(this, stored);
}

QString Field::asString() const
{
    return textFor(m_view->activeValue(m_index));
}

QString Field::textFor(const QVariant &stored) const
{
    if (stored.isNull())
        return {};
    switch (m_def.type) {
    case FieldType::Number:
    case FieldType::Money:
    case FieldType::NumberMoney:
        return formatNumber(stored.toDouble());
    case FieldType::Date:
        return QLocale().toString(
            QDate::fromString(stored.toString(), Qt::ISODate), QLocale::ShortFormat);
    case FieldType::Graphic:
        return {};
    default:
        return stored.toString();
    }
}

void Field::setAsString(const QString &text)
{
    if (onSetText) {
        // A hook sets several fields; when one of them is refused, none of them stays changed.
        const bool editing = m_view->isEditing();
        const QVector<QVariant> before = editing ? m_view->editBuffer() : QVector<QVariant>();
        const bool modified = m_view->modified();
        try {
            onSetText(*this, text);
        } catch (...) {
            if (editing)
                m_view->restoreEditBuffer(before, modified);
            throw;
        }
        return;
    }
    switch (m_def.type) {
    case FieldType::Number:
    case FieldType::Money:
    case FieldType::NumberMoney:
        if (text.trimmed().isEmpty())
            clear();
        else
            setAsFloat(parseNumber(text));
        return;
    case FieldType::Date: {
        if (text.trimmed().isEmpty()) {
            clear();
            return;
        }
        QDate date = QLocale().toDate(text.trimmed(), QLocale::ShortFormat);
        // A two-digit year means the one nearest today, not the 1900s.
        if (date.isValid() && QLocale().dateFormat(QLocale::ShortFormat).count(u'y') == 2
            && date.year() < QDate::currentDate().year() - 50)
            date = date.addYears(100);
        if (!date.isValid())
            date = QDate::fromString(text.trimmed(), Qt::ISODate);
        if (!date.isValid()) {
            throw EConvertError(
                QCoreApplication::translate("Field", "'%1' is not a valid date").arg(text));
        }
        setAsDate(date);
        return;
    }
    default:
        setValue(text);
    }
}

double Field::asFloat() const
{
    const QVariant &stored = m_view->activeValue(m_index);
    if (stored.isNull())
        return 0.0;
    return stored.toDouble();
}

void Field::setAsFloat(double value)
{
    if (!isNumeric() && m_def.type != FieldType::Alpha && m_def.type != FieldType::Memo) {
        throw EDatabaseError(
            QCoreApplication::translate("Field", "Field '%1' is not a number field")
                .arg(m_def.name));
    }
    setValue(isNumeric() ? QVariant(value) : QVariant(formatNumber(value)));
}

QDate Field::asDate() const
{
    const QVariant &stored = m_view->activeValue(m_index);
    if (stored.isNull())
        return {};
    return QDate::fromString(stored.toString(), Qt::ISODate);
}

void Field::setAsDate(const QDate &date)
{
    setValue(date.isValid() ? QVariant(date) : QVariant());
}

QByteArray Field::asBytes() const
{
    return m_view->activeValue(m_index).toByteArray();
}

QString Field::displayText() const
{
    return displayTextFor(m_view->activeValue(m_index));
}

QString Field::displayTextFor(const QVariant &stored) const
{
    if (isCurrency() && !stored.isNull())
        return QLocale().toCurrencyString(stored.toDouble());
    return textFor(stored);
}

double Field::parseNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) {
        throw EConvertError(
            QCoreApplication::translate("Field", "'%1' is not a valid floating point value")
                .arg(text));
    }
    return value;
}

QString Field::formatNumber(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // Counters and amounts read as written ("100000", not "1E+05"); only the very large and the
    // very small keep the exponent form, which would otherwise run to dozens of digits.
    const double size = std::abs(value);
    const bool plain = value == 0 || (size >= 1e-6 && size < 1e15);
    return locale.toString(value, plain ? 'f' : 'g', QLocale::FloatingPointShortest);
}
