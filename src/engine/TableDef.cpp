#include "engine/TableDef.h"

int TableDef::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const IndexDef *TableDef::index(const QString &name) const
{
    for (const IndexDef &index : indexes) {
        if (index.name.compare(name, Qt::CaseInsensitive) == 0)
            return &index;
    }
    return nullptr;
}

const TableDef *Schema::resolve(const QString &tableName) const
{
    for (const TableDef &table : tables) {
        if (table.fileName.compare(tableName, Qt::CaseInsensitive) == 0)
            return &table;
    }
    if (!tableName.contains(u'.')) {
        const QString withExtension = tableName + QStringLiteral(".DB");
        for (const TableDef &table : tables) {
            if (table.fileName.compare(withExtension, Qt::CaseInsensitive) == 0)
                return &table;
        }
    }
    return nullptr;
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Alpha:
        return QStringLiteral("Alpha");
    case FieldType::Number:
        return QStringLiteral("Number");
    case FieldType::Money:
        return QStringLiteral("Money");
    case FieldType::NumberMoney:
        return QStringLiteral("Number (money)");
    case FieldType::Date:
        return QStringLiteral("Date");
    case FieldType::Memo:
        return QStringLiteral("Memo");
    case FieldType::Graphic:
        return QStringLiteral("Graphic");
    }
    return {};
}

bool isNumericType(FieldType type)
{
    return type == FieldType::Number || type == FieldType::Money || type == FieldType::NumberMoney;
}
