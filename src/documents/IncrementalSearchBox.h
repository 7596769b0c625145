#pragma once

#include <QComboBox>
#include <QPointer>
#include <QStringList>

class QStandardItemModel;
class TableView;

// A search box over a view: typing moves the view to the first record whose search field starts
// with the typed text, and the drop-down lists the records by their list fields, in columns with
// titles, so one can be picked.
class IncrementalSearchBox : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int DropDownWidth = 370;

    explicit IncrementalSearchBox(QWidget *parent = nullptr);

    // listFields as "Quote_No; QuoteDescription": the first is the field searched.
    void setSearch(TableView *view, const QString &listFields);
    const QStringList &listFields() const { return m_fields; }

    // Moves the view to the first record whose search field starts with text, ignoring case;
    // true when one does.
    bool search(const QString &text);

    void showPopup() override;

private:
    void rebuild();
    void picked(int index);

    QPointer<TableView> m_view;
    QStringList m_fields;
    QStandardItemModel *m_items;
};
