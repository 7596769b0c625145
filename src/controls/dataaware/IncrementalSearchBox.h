#pragma once

#include <QComboBox>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

class QStandardItemModel;
class QTableView;
class TableView;

// The incremental search box over a view: as the user types, the view moves to the first record
// whose search field starts with the typed text (case aside), or else to the next one in that
// field's order, among the records the view's filter lets through. Its drop-down lists the records
// from the typed text onwards by their list fields, and choosing one goes there.
class IncrementalSearchBox : public QComboBox
{
    Q_OBJECT

public:
    // The drop-down lists at most this many records; typing narrows it down.
    static constexpr int DropDownRecords = 50;

    explicit IncrementalSearchBox(QWidget *parent = nullptr);

    // listFields as "Quote_No; QuoteDescription": the first is the field searched, and the
    // drop-down shows them all, one column each.
    void setSearch(TableView *view, const QString &listFields);
    const QStringList &listFields() const { return m_fields; }

    // The drop-down's looks: its least width, its rows, its column lines and the field names as
    // column titles (neither lines nor titles by default).
    void setDropDownWidth(int pixels);
    void setDropDownRows(int rows) { setMaxVisibleItems(rows); }
    void setShowColumnLines(bool on);
    void setShowColumnTitles(bool on);

    // Moves the view as typing text does; false when no record lies at or after the text.
    bool search(const QString &text);

    void showPopup() override;

private:
    void textTyped(const QString &text);
    void itemChosen(int index);
    QString candidateSql(
        const QStringList &columns, int limit, int offset, QVariantList &values) const;

    QPointer<TableView> m_view;
    QStringList m_fields;
    QStandardItemModel *m_items;
    QTableView *m_popup;
    bool m_filling = false;
};
