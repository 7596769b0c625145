#pragma once

#include "engine/Field.h"
#include "engine/TableView.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <initializer_list>
#include <memory>
#include <utility>

// Reads and writes a table view's fields by name, and a view's rows as a list that QCOMPARE can
// show, so that a test states the rule rather than the way to a field:
//     QCOMPARE(number(quote, u"TotalMaterials"), 20.0);
//     fill(lines, { { u"Quantity", 2.0 }, { u"CurrentPrice", u"12.50"_s } });
//     QCOMPARE(rows(lines, { u"MaterialCode", u"TotalCharge" }), Rows({ { u"NAIL"_s, 50.0 } }));

// A view however a test holds it: a pointer, a reference or an owning pointer.
class ViewRef
{
public:
    ViewRef(TableView *view)
        : m_view(view)
    { }
    ViewRef(TableView &view)
        : m_view(&view)
    { }
    template <typename T>
    ViewRef(const std::unique_ptr<T> &view)
        : m_view(view.get())
    { }
    TableView *operator->() const { return m_view; }
    TableView *get() const { return m_view; }

private:
    TableView *m_view;
};

// A value as a test gives it to a field. Text goes in as the user's typing does (through the
// field's set-text hook); numbers and dates are stored as they are.
class FieldInput
{
public:
    FieldInput(double number)
        : m_value(number)
    { }
    FieldInput(int number)
        : m_value(double(number))
    { }
    FieldInput(const QString &text)
        : m_value(text)
    { }
    FieldInput(QDate date)
        : m_value(date)
    { }

    void storeIn(Field *field) const
    {
        switch (m_value.typeId()) {
        case QMetaType::QString:
            field->setAsString(m_value.toString());
            break;
        case QMetaType::QDate:
            field->setAsDate(m_value.toDate());
            break;
        default:
            field->setAsFloat(m_value.toDouble());
        }
    }

private:
    QVariant m_value;
};

using Row = QVariantList;
using Rows = QList<Row>;

inline Field *fieldNamed(ViewRef view, QStringView name)
{
    return view->fieldByName(name.toString());
}

// The current record's field as a number (empty reads as 0), as text, as a date, or whether it
// is empty at all.
inline double number(ViewRef view, QStringView name)
{
    return fieldNamed(view, name)->asFloat();
}

inline QString text(ViewRef view, QStringView name)
{
    return fieldNamed(view, name)->asString();
}

inline QDate date(ViewRef view, QStringView name)
{
    return fieldNamed(view, name)->asDate();
}

inline bool isBlank(ViewRef view, QStringView name)
{
    return fieldNamed(view, name)->isNull();
}

inline void setNumber(ViewRef view, QStringView name, double value)
{
    fieldNamed(view, name)->setAsFloat(value);
}

// As typed: the field's set-text hook decides what is stored.
inline void setText(ViewRef view, QStringView name, const QString &value)
{
    fieldNamed(view, name)->setAsString(value);
}

// Sets the fields in the order given, so the hooks run as they would for a user filling them in.
inline void fill(ViewRef view, std::initializer_list<std::pair<QStringView, FieldInput>> values)
{
    for (const auto &[name, value] : values)
        value.storeIn(fieldNamed(view, name));
}

// Every row of the view in its order (the record being inserted at its place), with the values of
// the fields named: text as QString, numbers as double, dates as QDate, empty as a null QVariant.
// The current record stays where it is.
inline Rows rows(ViewRef view, std::initializer_list<QStringView> fields)
{
    QList<int> columns;
    for (QStringView name : fields)
        columns << fieldNamed(view, name)->index();
    Rows result;
    const int count = view->rowCount();
    for (int row = 0; row < count; ++row) {
        Row values;
        for (int column : columns)
            values << view->rowValue(row, column);
        result << values;
    }
    return result;
}

// The text of one field in every row of the view, as the field reads it on the current record.
inline QStringList texts(ViewRef view, QStringView name)
{
    const Field *f = fieldNamed(view, name);
    QStringList result;
    const int count = view->rowCount();
    for (int row = 0; row < count; ++row) {
        const QVariant value = view->rowValue(row, f->index());
        result << f->textFor(
            value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate) : value);
    }
    return result;
}

// Moves to the first record whose field reads as value; false (and the view at its last record)
// when there is none.
inline bool moveTo(ViewRef view, QStringView name, const QString &value)
{
    for (view->first(); !view->eof(); view->next()) {
        if (text(view, name) == value)
            return true;
    }
    return false;
}

// Shows a row in a failed QCOMPARE of Rows.
inline char *toString(const Row &row)
{
    QStringList parts;
    for (const QVariant &value : row)
        parts << (value.isNull() ? QStringLiteral("null") : value.toString());
    return qstrdup(
        QStringLiteral("(%1)").arg(parts.join(QStringLiteral(", "))).toUtf8().constData());
}
