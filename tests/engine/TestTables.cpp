#include "TestTables.h"

#include "engine/EmbeddedStore.h"
#include "engine/ServerConnection.h"
#include "engine/ServerStore.h"
#include "TestStore.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QDir>
#include <QFile>

const Schema &testSchema()
{
    static const Schema schema = [] {
        Schema s;
        s.tables << TableDef { QStringLiteral("Head.DB"),
            { { QStringLiteral("ID"), FieldType::Number, 0 },
                { QStringLiteral("No"), FieldType::Alpha, 10 },
                { QStringLiteral("Total"), FieldType::Money, 0 },
                { QStringLiteral("Client_ID"), FieldType::Number, 0 },
                { QStringLiteral("Status"), FieldType::Alpha, 1 },
                { QStringLiteral("Notes"), FieldType::Memo, 0 },
                { QStringLiteral("When"), FieldType::Date, 0 } },
            { QStringLiteral("ID") },
            { { QStringLiteral("ByNo"), { QStringLiteral("No") } },
                { QStringLiteral("ByStatusNo"),
                    { QStringLiteral("Status"), QStringLiteral("No") } } } };
        s.tables << TableDef { QStringLiteral("Line.DB"),
            { { QStringLiteral("ID"), FieldType::Number, 0 },
                { QStringLiteral("No"), FieldType::Alpha, 10 },
                { QStringLiteral("Charge"), FieldType::Money, 0 } },
            { QStringLiteral("ID") }, { { QStringLiteral("ByNo"), { QStringLiteral("No") } } } };
        s.tables << TableDef { QStringLiteral("Cust.DB"),
            { { QStringLiteral("Client_ID"), FieldType::Number, 0 },
                { QStringLiteral("Name"), FieldType::Alpha, 20 } },
            { QStringLiteral("Client_ID") },
            { { QStringLiteral("ByName"), { QStringLiteral("Name") } } } };
        s.tables << TableDef { QStringLiteral("Keys.DB"),
            { { QStringLiteral("K"), FieldType::Number, 0 },
                { QStringLiteral("Current"), FieldType::Number, 0 } },
            { QStringLiteral("K") }, {}, {}, QStringLiteral("Current") };
        s.tables << TableDef { QStringLiteral("Settings"),
            { { QStringLiteral("Sect"), FieldType::Alpha, 30 },
                { QStringLiteral("Param"), FieldType::Alpha, 30 },
                { QStringLiteral("Val"), FieldType::Alpha, 50 } },
            { QStringLiteral("Sect"), QStringLiteral("Param") }, {} };
        // Files whose first field is a text code, for the new-record code rule.
        s.tables << TableDef { QStringLiteral("INI"),
            { { QStringLiteral("Sect"), FieldType::Alpha, 30 },
                { QStringLiteral("Param"), FieldType::Alpha, 30 },
                { QStringLiteral("Val"), FieldType::Alpha, 50 } },
            { QStringLiteral("Sect"), QStringLiteral("Param") }, {} };
        s.tables << TableDef { QStringLiteral("Global.DB"),
            { { QStringLiteral("GLOBAL_KEY"), FieldType::Alpha, 20 },
                { QStringLiteral("Info"), FieldType::Alpha, 20 } },
            { QStringLiteral("GLOBAL_KEY") }, {} };
        s.tables << TableDef { QStringLiteral("Suburb.DB"),
            { { QStringLiteral("Suburb"), FieldType::Alpha, 30 },
                { QStringLiteral("PostCode"), FieldType::Alpha, 4 } },
            { QStringLiteral("Suburb") }, {} };
        return s;
    }();
    return schema;
}

void createTestTables(const QString &directory)
{
    if (!TestStore::onServer()) {
        EmbeddedStore::create(
            QDir(directory).filePath(EmbeddedStore::databaseFileName()), testSchema());
        return;
    }
    const QString keywords = TestStore::newServerDatabase();
    ServerStore::create(ServerConnection::fromText(keywords, QStringLiteral("test")), testSchema());
    QFile file(QDir(directory).filePath(ServerConnection::fileName()));
    if (!file.open(QIODevice::WriteOnly) || file.write(keywords.toUtf8() + '\n') < 0)
        qFatal("Cannot write %s", qPrintable(file.fileName()));
}

void connectTestDatabase(TQVDatabase &database, const QString &directory)
{
    database.setSchema(&testSchema());
    database.params().clear();
    database.params() << QStringLiteral("PATH=") + directory
                      << QStringLiteral("DEFAULT DRIVER=PARADOX");
    database.open();
}

std::unique_ptr<TableView> openView(TQVDatabase &database, const QString &table)
{
    auto view = std::make_unique<TableView>();
    view->setDatabase(&database);
    view->setTableName(table);
    view->open();
    return view;
}
