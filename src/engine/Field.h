#pragma once

#include "engine/TableDef.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <functional>

class TableView;

// One field of a table view: reads and writes the view's active record as text, number or date.
// Empty fields are null: they read as "" and as 0. Data fields change only while the view is
// being edited or inserted; calculated and lookup fields are worked out by the view.
class Field
{
public:
    enum class Kind
    {
        Data,
        Calculated,
        Lookup
    };

    Field(TableView *view, int index, const FieldDef &def, Kind kind);

    TableView *dataSet() const { return m_view; }
    int index() const { return m_index; }
    const QString &fieldName() const { return m_def.name; }
    FieldType dataType() const { return m_def.type; }
    int size() const { return m_def.size; }
    const FieldDef &def() const { return m_def; }
    Kind kind() const { return m_kind; }
    bool isNumeric() const { return isNumericType(m_def.type); }
    bool isCurrency() const;

    QString displayLabel() const { return m_displayLabel.isEmpty() ? m_def.name : m_displayLabel; }
    void setDisplayLabel(const QString &label) { m_displayLabel = label; }

    bool isNull() const;
    QVariant value() const; // double, QString, QDate or QByteArray; null when empty
    void setValue(const QVariant &value);
    void clear() { setValue(QVariant()); }

    QString asString() const;
    // Runs the field's set-text hook when it has one (the hook decides what to store); otherwise
    // converts the text for the field's type. Throws EConvertError for text that does not convert.
    void setAsString(const QString &text);
    double asFloat() const;
    void setAsFloat(double value);
    QDate asDate() const;
    void setAsDate(const QDate &date);
    QByteArray asBytes() const;

    // The text a grid or label shows: money in the locale's currency format.
    QString displayText() const;
    // The same texts for a stored value of this field in any record.
    QString textFor(const QVariant &stored) const;
    QString displayTextFor(const QVariant &stored) const;

    // Parses text as a number the way the user typed it (the locale's form first, then the C form).
    static double parseNumber(const QString &text);
    static QString formatNumber(double value);

    std::function<void(Field &)> onChange;
    std::function<void(Field &, const QString &)> onSetText;

    // Lookup fields: the value of lookupResultField in lookupDataSet whose lookupKeyField equals
    // this view's keyField.
    QString keyField;
    TableView *lookupDataSet = nullptr;
    QString lookupKeyField;
    QString lookupResultField;

private:
    TableView *m_view;
    int m_index;
    FieldDef m_def;
    Kind m_kind;
    QString m_displayLabel;
};
