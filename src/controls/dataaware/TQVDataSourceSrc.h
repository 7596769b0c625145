#pragma once

#include "engine/DataSource.h"
#include "engine/TableView.h"

// The data link every window binds its controls and grids to: it says whether typing may start an
// edit of the current record and starts that edit only from browsing.
class TQVDataSource : public DataSource
{
    Q_OBJECT

public:
    explicit TQVDataSource(QObject *parent = nullptr);

    // Whether a control may put the record into edit when the user starts changing it.
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }

    // The view's state; Inactive when there is no view.
    DataSetState state() const;
    bool isEditing() const;
    // Whether the view is there and open.
    bool isActive() const;

    // Puts the view into edit, but only while it is browsing: an edit or insert in progress is
    // left as it is. Errors of the view (a record held by another user) propagate.
    void edit();

private:
    bool m_autoEdit = true;
};
