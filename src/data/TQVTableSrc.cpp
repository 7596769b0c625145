#include "data/TQVTableSrc.h"

#include "data/Errors.h"
#include "engine/DataSource.h"

TQVTable::TQVTable(QObject *parent)
    : TRefreshTable(parent)
{ }

void TQVTable::post()
{
    if (isEditing() || state() == DataSetState::SetKey)
        TRefreshTable::post();
}

void TQVTable::cancel()
{
    if (isEditing())
        TRefreshTable::cancel();
}

void TQVTable::doBeforeInsert()
{
    TRefreshTable::doBeforeInsert();
    TableView *master = masterSource() ? masterSource()->dataSet() : nullptr;
    if (master && master->state() == DataSetState::Insert)
        master->post();
}

void TQVTable::doBeforePost()
{
    TRefreshTable::doBeforePost();
    if (state() != DataSetState::Insert || fields().empty())
        return;
    Field *code = fields().front().get();
    const QString text = code->asString();
    if (text.contains(u' ') && code->fieldName() != QStringLiteral("Suburb")) {
        throw EInvalidCode(tr("The Code You Have Entered (") + text
            + tr("). Contains a Space. Please Enter A Code That Does Not Contain A Space."));
    }
    // Settings keep their sections as typed. A code with nothing to upper-case is left alone:
    // a number key written back from its locale text would not read as a number everywhere.
    const QString upper = text.toUpper();
    if (tableName() != QStringLiteral("INI") && upper != text)
        code->setValue(upper);
}
