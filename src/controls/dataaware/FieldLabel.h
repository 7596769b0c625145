#pragma once

#include "controls/dataaware/FieldLinkedControl.h"

#include <QLabel>

// A read-only label showing a field of the current record as grids show it (money as currency).
class FieldLabel : public QLabel, public FieldLinkedControl
{
    Q_OBJECT

public:
    explicit FieldLabel(QWidget *parent = nullptr);

private:
    void showField();
};
