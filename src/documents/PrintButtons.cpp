#include "documents/PrintButtons.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PrintButtons::PrintButtons(QWidget *parent)
{
    typeBox = new QGroupBox(u"Report Type "_s, parent);
    typeBox->setObjectName(u"grpReportType"_s);
    reportType = new QComboBox(typeBox);
    reportType->setObjectName(u"cboReportType"_s);
    reportType->addItems({ u"Print To Screen"_s, u"Print To Printer"_s });
    (new QVBoxLayout(typeBox))->addWidget(reportType);

    print = new QPushButton(u"Print"_s, parent);
    print->setObjectName(u"btnPrint"_s);
    print->setDefault(true);
    close = new QPushButton(u"Close"_s, parent);
    close->setObjectName(u"btnClose"_s);
    close->setAutoDefault(false);
    printerSetup = new QPushButton(u"Printer Setup"_s, parent);
    printerSetup->setObjectName(u"btnPrinterSetup"_s);
    printerSetup->setAutoDefault(false);
}

PrintRunScope::PrintRunScope(bool &running, QPushButton *print, QPushButton *printerSetup)
    : m_running(running)
    , m_print(print)
    , m_printerSetup(printerSetup)
{
    setRunning(true);
}

PrintRunScope::~PrintRunScope()
{
    setRunning(false);
}

void PrintRunScope::setRunning(bool running)
{
    m_running = running;
    m_print->setEnabled(!running);
    m_printerSetup->setEnabled(!running);
}
