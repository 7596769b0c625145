#pragma once

#include "data/TblRfsh.h"

// The table view every part of the program uses: posting and cancelling are harmless while
// browsing, a detail insert posts its master first, and a new record's code (its first field) may
// not hold a blank and is stored in upper case.
class TQVTable : public TRefreshTable
{
    Q_OBJECT

public:
    explicit TQVTable(QObject *parent = nullptr);

    void post() override;
    void cancel() override;

protected:
    void doBeforeInsert() override;
    void doBeforePost() override;
};
