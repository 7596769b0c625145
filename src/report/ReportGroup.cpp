#include "report/ReportGroup.h"

ReportGroup::ReportGroup(KeyFunction key)
    : m_key(std::move(key))
{ }

ReportBand &ReportGroup::addHeader(double height)
{
    if (!m_header)
        m_header = std::make_unique<ReportBand>(ReportBand::GroupHeader, height);
    m_header->setHeight(height);
    return *m_header;
}

ReportBand &ReportGroup::addFooter(double height)
{
    if (!m_footer)
        m_footer = std::make_unique<ReportBand>(ReportBand::GroupFooter, height);
    m_footer->setHeight(height);
    return *m_footer;
}
