#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Field;
class QWidget;
class TQVDataSource;

// Binds one data-aware control to a field of a data link: finds the field, tells the control when
// the record, its state or a field changes, and carries the control's changes into the record with
// any refusal shown in the standard error box.
class FieldDataLink : public QObject
{
    Q_OBJECT

public:
    explicit FieldDataLink(QWidget *control);

    TQVDataSource *dataSource() const { return m_source; }
    void setDataSource(TQVDataSource *source);
    const QString &dataField() const { return m_dataField; }
    void setDataField(const QString &name);

    // Null while there is no link, no open view or no field of that name.
    Field *field() const;
    // Whether the control may change its field: a stored field of an open view.
    bool canModify() const;
    bool isEditing() const;

    // Makes the record editable for a change the user has started; false when it cannot be (the
    // link does not allow it, or the view refused with its message shown).
    bool edit();
    // Stores text through the field's set-text conversion; false once a refusal has been shown.
    bool applyText(const QString &text);

signals:
    // Something the control shows may have changed; changedField is null when it could be anything.
    void changed(Field *changedField);
    // The record is about to be posted or left: store what the user is still typing.
    void updateRecord();

private:
    void connectSource();

    QWidget *m_control;
    QPointer<TQVDataSource> m_source;
    QString m_dataField;
    QList<QMetaObject::Connection> m_connections;
};
