#pragma once

#include "data/DataModuleMain.h"

// The views and field names by which quotes and jobs differ; every rule on headers and lines, and
// every command of the main window on them, is written once against this.
struct TDM::Document
{
    DocumentKind kind = DocumentKind::Quote;
    bool isJob = false;
    TQVTable *header = nullptr;
    TQVTable *materials = nullptr;
    TQVTable *labour = nullptr;
    TQVTable *printed = nullptr;
    TQVTable *counter = nullptr;
    QString key; // Quote_ID: the header's key and the line's own key
    QString number; // Quote_No
    QString total; // QuoteTotal
    QString grandTotal; // VQuoteTotal
    QString repId; // Quote_RepID
    QString counterNext; // NextQuote
    QString priorityIndex; // PriorQuoteNo: the header's order by priority
    QString materialUndoLabel;
    QString labourUndoLabel;
    QString noun; // "quote"
    // The number the header was given when inserted; a copy that stored it meanwhile makes the
    // first post take the next free one.
    QString assignedNumber;
};
