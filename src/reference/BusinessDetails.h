#pragma once

#include <QWidget>

class TQVDataSource;

// The business's own details, bound to the business record: name, address, phone, fax, e-mail
// and company number.
class BusinessDetails : public QWidget
{
    Q_OBJECT

public:
    BusinessDetails(TQVDataSource *business, QWidget *parent = nullptr);
};
