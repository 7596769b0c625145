#pragma once

#include <QString>

class Field;
class FieldDataLink;
class TQVDataSource;

// What every data-aware control offers about its binding, kept by its field link. A control
// derives from its Qt widget first and from this second, handing over a link it owns.
class FieldLinkedControl
{
public:
    TQVDataSource *dataSource() const;
    void setDataSource(TQVDataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);
    // Null while there is no link, no open view or no field of that name.
    Field *field() const;

protected:
    explicit FieldLinkedControl(FieldDataLink *link)
        : m_link(link)
    { }
    ~FieldLinkedControl() = default;

    FieldDataLink *const m_link;
};
