#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One table file as a data directory must hold it, typed out from the table descriptions on their
// own so that a slip in the schema code cannot hide behind a shared source.
struct ExpectedTable
{
    QString file;
    QList<std::pair<QString, QString>> fields; // name and stored column type, in order
    QStringList primaryKey;
    QList<std::pair<QString, QStringList>> indexes; // the named indexes and their fields
};

QList<ExpectedTable> expectedLayout();
