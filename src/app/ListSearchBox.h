#pragma once

#include <QComboBox>
#include <QPointer>

class QStandardItemModel;
class QTableView;
class TableView;

// The quick-search box over a list's view: as the user types, the view moves to the first record
// whose search field starts with the typed text (case aside), or else to the next one in that
// field's order. Its drop-down lists the records from the typed text onwards, and choosing one goes
// there.
class ListSearchBox : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int DropDownWidth = 241;
    static constexpr int DropDownRows = 12;

    explicit ListSearchBox(QWidget *parent = nullptr);

    // The view searched, the field matched and the field shown beside it in the drop-down.
    void setSearch(TableView *view, const QString &searchField, const QString &descriptionField);
    void setShowColumnLines(bool on);

    // Moves the view as typing text does; false when no record lies at or after the text.
    bool search(const QString &text);

    void showPopup() override;

private:
    void textTyped(const QString &text);
    void itemChosen(int index);
    QString candidateSql(
        const QStringList &columns, int limit, int offset, QVariantList &values) const;

    QPointer<TableView> m_view;
    QString m_searchField;
    QString m_descriptionField;
    QStandardItemModel *m_items;
    QTableView *m_popup;
    bool m_filling = false;
};
