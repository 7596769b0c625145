#pragma once

#include "reference/LineSelectDialog.h"

class FieldLineEdit;

// The material line of a quote or a job: the price-list material picked by code or description,
// the line's own description, its price and quantity with the charge they give, its notes. It
// inserts a new line unless the line is already being edited. Closing with the line still pending
// asks whether to save it; a material line is saved unless the answer is No.
class MaterialLineDialog : public LineSelectDialog
{
    Q_OBJECT

public:
    struct Design
    {
        QString caption;
        int helpContext;
        QString browseName, browseHint;
        QString descriptionHint;
        QString totalLabel;
        QString furtherCaption;
    };

    ~MaterialLineDialog() override;

protected:
    MaterialLineDialog(TDM *dm,
        TQVTable *line,
        TQVTable *header,
        const Design &design,
        QWidget *parent);

    void browsePriceList() override;
    bool closeCheck() override;

private:
    QWidget *chargeGroup(const QString &totalLabel);
    void FormShow();

    TQVTable *m_header;
};
