#pragma once

#include "controls/dataaware/FieldLineEdit.h"

#include <QDate>

// A date field that may stay empty: typed in the locale's short form (a two-digit year falls in the
// hundred years around today) or picked from a calendar; an empty text clears the date.
class FieldDateEdit : public FieldLineEdit
{
    Q_OBJECT

public:
    explicit FieldDateEdit(QWidget *parent = nullptr);

    // The date a typed text stands for; invalid when it is not a date in the locale's short form,
    // the long form or ISO form.
    static QDate parseDate(const QString &text, const QDate &today = QDate::currentDate());

protected:
    QString textOf(const Field &field) const override;
    QString textToStore(const QString &typed) const override;

private:
    void showCalendar();
};
