#pragma once

#include "engine/Field.h"
#include "engine/TQVDatabase.h"
#include "engine/TableDef.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSqlQuery>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class DataSource;

enum class DataSetState
{
    Inactive,
    Browse,
    Edit,
    Insert,
    SetKey,
    CalcFields
};
enum class TableType
{
    Default,
    Paradox,
    ASCII
};

// A view of one table file: an ordering (primary key, field list or named index), an optional
// filter expression and master link, a current record, and the edit and insert of that record with
// the hooks bound to the view. Records are read on demand; the ordered list of record ids is read
// from the first record a page at a time, only as far as it is shown or moved through, and read
// again whenever the file changes, so the view always shows the file as it is.
class TableView : public QObject
{
    Q_OBJECT

public:
    using Hook = std::function<void(TableView &)>;

    explicit TableView(QObject *parent = nullptr);
    ~TableView() override;

    // --- definition (before open) -------------------------------------------------------
    void setDatabase(TQVDatabase *database) { m_database = database; }
    TQVDatabase *database() const { return m_database; }
    void setTableName(const QString &name);
    const QString &tableName() const { return m_tableName; }
    void setTableType(TableType type) { m_tableType = type; }
    TableType tableType() const { return m_tableType; }
    Field *addCalculatedField(const QString &name, FieldType type, int size = 0);
    Field *addLookupField(const QString &name,
        FieldType type,
        int size,
        const QString &keyField,
        TableView *lookupDataSet,
        const QString &lookupKeyField,
        const QString &lookupResultField);

    // --- order, filter, master (switchable while open, keeping the current record) -------
    void setIndexName(const QString &name);
    const QString &indexName() const { return m_indexName; }
    void setIndexFieldNames(const QString &names); // "Sect;Parameter"
    const QString &indexFieldNames() const { return m_indexFieldNames; }
    QStringList orderFields() const;
    // Setting a malformed filter on an open view throws EDatabaseError and keeps the old one.
    void setFilter(const QString &expression);
    const QString &filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }
    void setMasterSource(DataSource *source);
    DataSource *masterSource() const;
    void setMasterFields(const QString &masterField, const QString &detailField = {});

    // --- open and close -------------------------------------------------------------------
    void open();
    void close();
    bool active() const { return m_state != DataSetState::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    int fileIndex() const { return m_file; }
    QString fileName() const;

    // --- navigation -----------------------------------------------------------------------
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty();
    int recordCount();
    int recNo(); // 0-based position of the current record, -1 when there is none
    void setRecNo(int position);
    // Moves to the first record whose order fields equal values (as many as given). The current
    // record stays when there is none.
    bool findKey(const QVariantList &values);
    // Moves to the first record, in the view's order, whose field equals value, reading only
    // that record. The current record stays when there is none.
    bool locate(const QString &field, const QVariant &value);
    // Whether any record of the file (whatever the view's filter and range) other than the
    // record excludedRowid has value in field.
    bool fileHasValue(const QString &field, const QVariant &value, qint64 excludedRowid = -1);
    qint64 currentRowid() const { return m_currentRowid; }
    // Makes the record rowid current when the view shows it; false (the current record stays)
    // otherwise.
    bool moveToRowid(qint64 rowid);
    // The records, in the view's order, whose field may contain text, letter case aside: every
    // record that does is among them, from the offset-th such record on, at most limit, each with
    // the field's text. The database narrows the records down, so a search reads only those it
    // may want; the caller tells the true matches.
    QList<std::pair<qint64, QString>> recordsContaining(
        const QString &field, const QString &text, int offset, int limit);
    // The first record, in the view's order, whose field starts with text, letter case aside;
    // -1 when none does. Read through the field's index where the field leads the order.
    qint64 firstRowidStartingWith(const QString &field, const QString &text);
    // The value of resultField in the first record whose keyField equals key, without moving.
    QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField);
    void refresh();

    // --- editing --------------------------------------------------------------------------
    void insert();
    void append();
    void edit();
    virtual void post();
    virtual void cancel();
    void deleteRecord();
    // Adds amount to field (an empty field counting as 0) of the record whose whole primary key
    // is key, in one statement that reads the sum back, and gives the sum; null when no record
    // has that key. The view stays where it is; one operation, or a part of the current one.
    QVariant addToField(const QVariantList &key, const QString &field, double amount);
    // Posts pending changes when the record was modified, cancels them otherwise.
    void checkBrowseMode();
    DataSetState state() const { return m_state; }
    bool isEditing() const
    {
        return m_state == DataSetState::Edit || m_state == DataSetState::Insert;
    }
    bool modified() const { return m_modified; }
    // A field's value as stored when the current edit began (null while inserting).
    QVariant originalValue(const QString &field) const;
    // The record being edited, to be put back whole when a change of several fields fails
    // half-way (no hook runs when it is put back).
    QVector<QVariant> editBuffer() const { return m_buffer; }
    void restoreEditBuffer(const QVector<QVariant> &buffer, bool modified);

    // --- fields ---------------------------------------------------------------------------
    Field *fieldByName(const QString &name) const; // throws EDatabaseError when unknown
    Field *findField(const QString &name) const;
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    const TableDef &tableDef() const;

    // --- rows for grids (the insert row shows at its place while inserting) ---------------
    // The ordered row list is read from the first record on, a page at a time, as far as
    // someone asks: a grid shows what is read so far and asks for more as it scrolls, while
    // rowCount(), recordCount() and last() read it to its end.
    int rowCount();
    // The rows read so far (through the current record), as a grid shows them.
    int loadedRowCount();
    bool canReadMoreRows();
    void readMoreRows();
    int currentRow();
    QVariant rowValue(int row, int field);
    QString rowDisplayText(int row, int field);

    // While disabled, bound controls hear nothing; enabling tells them everything changed.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // The file changed (this copy's commit elsewhere, or a rollback): re-read lazily.
    void invalidate();
    // As invalidate, after this copy's commit that wrote the records writtenRows of the view's
    // table (TQVDatabase::anyRow among them when it may have written any).
    void invalidate(const QSet<qint64> &writtenRows);

    // State saved and restored around an operation that fails.
    struct Snapshot;
    std::shared_ptr<Snapshot> snapshot() const;
    void restore(const Snapshot &snapshot);

    Hook beforeOpen, afterOpen, beforeClose, afterClose;
    Hook beforeInsert, afterInsert, beforeEdit, afterEdit;
    Hook beforePost, afterPost, beforeCancel, afterCancel;
    Hook beforeDelete, afterDelete, onCalcFields, afterScroll;

signals:
    // Emitted before the record is posted or left: controls store the text still being typed.
    void updateRecord();
    void stateChanged();
    void currentChanged();
    void fieldChanged(Field *field);
    void dataChanged();

protected:
    // Notifications a subclass extends; each default runs the matching hook.
    virtual void doBeforeOpen();
    virtual void doAfterOpen();
    virtual void doBeforeClose();
    virtual void doBeforeInsert();
    virtual void doBeforePost();
    virtual void doAfterPost();
    virtual void doAfterDelete();
    void runHook(const Hook &hook);

private:
    bool moveToFirstWhere(const QString &where, const QVariantList &bound);
    // m_insertPos while a new record is not placed yet: before the current record or at the end.
    static constexpr int insertBeforeCurrent = -2;
    static constexpr int insertAtEnd = -3;
    int insertPos();
    int currentPosition();
    // The record after (or before) rowid in the view's order, found through the order fields'
    // values rather than the row list; -1 when there is none.
    qint64 neighbourRowid(const QVariantList &orderValues, bool after);
    // Up to limit records after the one with orderValues, in the view's order.
    std::vector<qint64> rowidsAfter(const QVariantList &orderValues, int limit);
    // The terms "field = ?" or "field IS NULL", as the value asks, for the order fields before
    // level; their values go to bound.
    QStringList sameOrderTerms(const QStringList &columns,
        const QVariantList &values,
        int level,
        QVariantList &bound) const;
    void readIdList(const QString &sql, const QVariantList &values, std::vector<qint64> &ids);
    static constexpr int pageRows = 1024;
    void readRowsAfter(int count); // appends up to count rows to the list read so far
    void readRowsThrough(int position);
    void readAllRows();
    QStringList orderColumns() const; // the order fields and rowid, quoted
    QVariantList orderValues(qint64 rowid); // a record's, as stored; empty when it is gone
    friend class Field;
    struct Record
    {
        QVector<QVariant> values;
        quint64 generation = 0; // when its calculated fields were worked out
    };

    const QVariant &activeValue(int field) const;
    void setActiveValue(Field *field, const QVariant &value);
    void touch();
    void requireActive() const;
    void ensureRows();
    QString whereClause(QVariantList &values) const;
    // What a record must meet for the view to show it, as one SQL term ("1" for every record).
    QString shownCondition(QVariantList &values) const;
    // A record this view just wrote, with what the statement that wrote it told of it.
    void noteStored(qint64 rowid, bool shown, const QString &condition, const QVariantList &values);
    bool storedRecordShown();
    QString orderClause(bool descending = false) const;
    const Record &record(qint64 rowid);
    const Record &recordAt(int index);
    void prefetch(int index);
    Record fetch(qint64 rowid);
    // The stored fields, as SQL lists them; one of them, as SQL names it.
    const QString &columnList() const { return m_columnList; }
    const QString &quotedColumn(int index) const { return m_columns.at(index); }
    void calculate(QVector<QVariant> &values);
    qint64 firstRowid();
    QStringList orderFieldsFor(const TableDef &def) const;
    QString masterCondition(QVariantList &values) const;
    void rerange();
    bool rowStillShown(qint64 rowid);
    void buildDataFields();
    QSqlQuery select(const QString &sql, const QVariantList &values);
    // The statement sql on connection, prepared at its first run and kept for the next ones, with
    // values bound; run by the caller, who reads it to the end or finishes it before anything
    // else runs it again.
    QSqlQuery &kept(const QSqlDatabase &connection, const QString &sql, const QVariantList &values);
    // A kept statement that reads a row or none, run.
    QSqlQuery &selectOne(const QString &sql, const QVariantList &values);
    // A write statement that returns a row or none, run: the first row it returned, of columns
    // values, or empty. The operation's first write goes with the start of its transaction.
    QVariantList writeReturning(const QString &sql, const QVariantList &values, int columns);
    void moveTo(int position);
    void setCurrentRowid(qint64 rowid);
    void placeCurrent();
    void emitState();
    void emitCurrent();
    void emitData();
    void beginInsert(bool atEnd);
    void endEdit();
    void writeRecord();
    qint64 queueInsert(QStringList columns,
        QStringList marks,
        QVariantList values,
        const QString &shown,
        const QVariantList &shownValues);
    void masterChanged();
    QVector<QVariant> emptyBuffer() const;

    QPointer<TQVDatabase> m_database;
    QString m_tableName;
    QStringList m_columns; // built at open
    QString m_columnList;
    TableType m_tableType = TableType::Default;
    int m_file = -1;
    std::vector<std::unique_ptr<Field>> m_fields;
    int m_dataFieldCount = 0;

    QString m_indexName;
    QString m_indexFieldNames;
    QString m_filterText;
    bool m_filtered = false;
    QPointer<DataSource> m_masterSource;
    QString m_masterField;
    QString m_detailField;
    QList<QMetaObject::Connection> m_masterConnections;
    QString m_lastMasterCondition;
    QVariantList m_lastMasterValues;

    DataSetState m_state = DataSetState::Inactive;
    bool m_rowsValid = false;
    std::vector<qint64> m_rowids; // the ordered row list from the first record, as far as read
    bool m_allRead = false; // whether m_rowids reaches the last record
    size_t m_wantedRows = 0; // as far as a grid scrolled: read again when the list is read anew
    std::unordered_map<qint64, Record> m_cache; // node-based: references stay valid
    QHash<QString, QVariant> m_lookups; // answers of lookup() by query, while the data stays
    quint64 m_lookupsStamp = 0;
    qint64 m_currentRowid = -1;
    int m_currentPos = -1; // -1 when not known yet
    bool m_eof = true;
    bool m_bof = true;
    int m_insertPos = -1;

    QVector<QVariant> m_buffer; // the record being edited or inserted
    QVector<QVariant> m_original; // the record as it was when the edit began
    bool m_modified = false;
    qint64 m_lockedRecord = -1;
    // The record this view wrote last, whether it met the view's condition as stored, and the
    // write's number and condition: while nothing else wrote the file since, that holds.
    struct StoredRecord
    {
        qint64 rowid = -1;
        bool shown = false;
        quint64 write = 0;
        QString condition;
        QVariantList values;
    };
    StoredRecord m_stored;
    std::unordered_map<QString, QSqlQuery> m_kept; // by their SQL text
    QVector<QVariant> *m_calcRecord = nullptr; // the record being calculated

    int m_disableCount = 0;
    bool m_pendingSignals = false;
    bool m_filterValid = true;
};

// Runs a user operation: the outermost scope commits or, when left by an exception, rolls back.
class OperationScope
{
public:
    explicit OperationScope(TQVDatabase *database, int starterFile = -1);
    ~OperationScope();
    void commit();

private:
    TQVDatabase *m_database;
    bool m_done = false;
};

// Keeps a view's bound controls quiet for a scope; leaving it tells them everything changed once.
class ControlsDisabled
{
public:
    explicit ControlsDisabled(TableView *view)
        : m_view(view)
    {
        m_view->disableControls();
    }
    ~ControlsDisabled() { m_view->enableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    TableView *m_view;
};

// Cancels a view's insert or edit that is still pending when the scope is left, as when a post
// was refused: the view goes back to browsing and the refusal goes on to the caller.
class EditScope
{
public:
    explicit EditScope(TableView *view)
        : m_view(view)
    { }
    ~EditScope();
    EditScope(const EditScope &) = delete;
    EditScope &operator=(const EditScope &) = delete;

private:
    TableView *m_view;
};
