#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QVariant>

class TQVDatabase;

// The records of one table for a lookup list: the shown field of each, its key under Qt::UserRole,
// in the order of the shown field. Only a screenful is read at first; a view scrolled to the end
// asks for the next (canFetchMore and fetchMore). A prefix keeps the records whose shown field
// starts with it, letter case aside. Every read asks the database again, so records another copy
// added show at the next reload.
class LookupQueryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int Screenful = 50;

    explicit LookupQueryModel(QObject *parent = nullptr);

    void setSource(TQVDatabase *database,
        const QString &table,
        const QString &keyField,
        const QString &shownField);
    const QString &prefix() const { return m_prefix; }
    // Reads the first screenful again, of the records starting with text.
    void setPrefix(const QString &text);
    void reload();
    // Whether a view may read further screenfuls; a completion list keeps to its first, which
    // typing narrows, since a completer reads on for as long as the model offers more.
    void setScrolls(bool on) { m_scrolls = on; }

    // Whether the list's order is an index's, so that its first screenful costs a few reads
    // however long the table; otherwise that read sorts the whole table.
    bool ordersThroughIndex() const;

    // The loaded row holding key, or -1.
    int rowOfKey(const QVariant &key) const;
    // The shown text of the record with key, read from the table; empty when there is none.
    QString textOfKey(const QVariant &key) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Entry
    {
        QVariant key;
        QString text;
        qint64 rowid = 0;
    };
    QList<Entry> readPage() const;
    QList<Entry> readAll(int offset) const;
    QList<Entry> readStartingWith(const QString &spelling) const;
    bool ready() const;

    QPointer<TQVDatabase> m_database;
    QString m_table, m_keyField, m_shownField, m_prefix;
    QList<Entry> m_entries;
    bool m_more = true;
    bool m_scrolls = true;
};
