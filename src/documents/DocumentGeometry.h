#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

// Where everything of a quote or job document goes, in millimetres from its band's top-left
// corner, and the few words and field names in which the two documents differ.
struct DocumentGeometry
{
    // Names
    QString title; // "Quote", "Job Sheet"
    QString numberField; // Quote_No, Job_No
    QString descriptionField; // QuoteDescription, JobDescription
    QString totalField; // QuoteTotal, JobTotal
    QString grandTotalField; // VGrandTotal, VJobTotal
    QString footerField; // QuoteFooter, JobFooter in the business record
    QString numberLabel; // "Quote Number:"
    QString phoneLabel; // "Phone:" or "Ph:"
    QString grandTotalLabel; // "Quote Total:" or "Total:"
    QString noClientMessage; // why a document without a client does not print
    bool boldBusinessLabels = false; // the phone and fax labels of the business
    bool boldClosingBand = false; // the closing band's notes, labels and amounts

    // Page header
    double pageHeaderHeight = 0;
    QRectF titleBox;
    QPointF businessName;
    QPointF phoneLabelAt, phoneValueAt, faxLabelAt, faxValueAt;
    QPointF numberLabelAt, numberValueAt;
    QPointF dateLabelAt, dateValueAt, dueLabelAt, dueValueAt, preparedLabelAt, preparedValueAt;
    QRectF logoBox;
    QPointF clientCompany, clientContact;
    QRectF clientAddress;
    QPointF clientPhoneLabelAt, clientPhoneValueAt, clientFaxLabelAt, clientFaxValueAt;
    QPointF descriptionLabelAt, descriptionValueAt;

    // Column header: the titles from "Code" on, with their x.
    double columnHeaderHeight = 0;
    QList<std::pair<QString, double>> columnTitles;

    // Heading band
    double headingX = 0;

    // Line band
    QRectF codeBox;
    bool codeSizedToText = false;
    QRectF descriptionBox;
    double costRight = 0, qtyRight = 0, totalRight = 0;
    QRectF lineNotes;

    // Closing band
    QRectF headerNotes;
    double ruleY = 0;
    QPointF subTotalAt, discountAt, taxAt, grandTotalAt;
    double amountsRight = 0;
    bool grandTotalAmountLarge = false; // the grand total amount in 12 pt bold
    double doubleRuleY1 = 0, doubleRuleY2 = 0;

    // Page footer
    double pageFooterHeight = 0;
    QRectF footerText;
    double creditY = 0;
};
