#include "FieldDateEdit.h"

#include "controls/dataaware/DisplayFormat.h"
#include "engine/Field.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLocale>
#include <QStyle>

namespace {

bool hasFourDigitYear(const QString &format)
{
    return format.contains(QLatin1String("yyyy"));
}

} // namespace

FieldDateEdit::FieldDateEdit(QWidget *parent)
    : FieldLineEdit(parent)
{
    QAction *pick =
        addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    pick->setToolTip(tr("Choose a date"));
    connect(pick, &QAction::triggered, this, &FieldDateEdit::showCalendar);
}

QDate FieldDateEdit::parseDate(const QString &text, const QDate &today)
{
    const QString trimmed = text.trimmed();
    const QLocale locale;
    const QString shortFormat = DisplayFormat::shortDateFormat(locale);
    QDate date = locale.toDate(trimmed, shortFormat);
    if (date.isValid() && !hasFourDigitYear(shortFormat)) {
        // The parser puts two-digit years in the 1900s; a date typed today means the years around
        // now.
        const int year = date.year() % 100;
        int full = today.year() - today.year() % 100 + year;
        if (full > today.year() + 49)
            full -= 100;
        else if (full < today.year() - 50)
            full += 100;
        date = QDate(full, date.month(), date.day());
    }
    if (!date.isValid() && !hasFourDigitYear(shortFormat))
        date = locale.toDate(
            trimmed, QString(shortFormat).replace(QLatin1String("yy"), QLatin1String("yyyy")));
    if (!date.isValid())
        date = locale.toDate(trimmed, QLocale::LongFormat);
    if (!date.isValid())
        date = QDate::fromString(trimmed, Qt::ISODate);
    return date;
}

QString FieldDateEdit::textOf(const Field &field) const
{
    return DisplayFormat::shortDate(field.asDate());
}

QString FieldDateEdit::textToStore(const QString &typed) const
{
    if (typed.trimmed().isEmpty())
        return {};
    const QDate date = parseDate(typed);
    // Text that is no date goes to the field unchanged, so the field's own message names it.
    return date.isValid() ? date.toString(Qt::ISODate) : typed;
}

void FieldDateEdit::showCalendar()
{
    if (isReadOnly())
        return;
    auto *calendar = new QCalendarWidget(this);
    calendar->setWindowFlag(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    const QDate current = field() ? field()->asDate() : QDate();
    calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    connect(calendar, &QCalendarWidget::activated, this, [this, calendar](const QDate &date) {
        calendar->close();
        storeUserText(date.toString(Qt::ISODate));
    });
    connect(calendar, &QCalendarWidget::clicked, calendar, &QCalendarWidget::activated);
    calendar->move(mapToGlobal(rect().bottomLeft()));
    calendar->show();
}
