#pragma once

#include "controls/dataaware/FieldLinkedControl.h"

#include <QProgressBar>

// A progress bar showing a percentage field of the current record (a job's percentage complete);
// values outside 0 to 100 show as the nearest end.
class FieldProgressBar : public QProgressBar, public FieldLinkedControl
{
    Q_OBJECT

public:
    explicit FieldProgressBar(QWidget *parent = nullptr);

private:
    void showField();
};
