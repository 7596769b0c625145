#include "report/ReportLayout.h"

#include "report/ReportContext.h"

ReportLayout::ReportLayout()
    : m_pageSize(QPageSize::A4)
    , m_margins(10, 10, 10, 10)
    , m_font(QStringLiteral("Arial"), 10)
{ }

ReportLayout::~ReportLayout() = default;

QSizeF ReportLayout::paperSize() const
{
    const QSizeF portrait = m_pageSize.size(QPageSize::Millimeter);
    return m_orientation == QPageLayout::Landscape ? portrait.transposed() : portrait;
}

double ReportLayout::bandWidth() const
{
    return paperSize().width() - m_margins.left() - m_margins.right();
}

ReportBand &ReportLayout::addBand(ReportBand::Type type, double height)
{
    Q_ASSERT(type != ReportBand::GroupHeader && type != ReportBand::GroupFooter);
    auto &slot = m_bands[type];
    if (!slot)
        slot = std::make_unique<ReportBand>(type, height);
    slot->setHeight(height);
    return *slot;
}

ReportBand *ReportLayout::band(ReportBand::Type type) const
{
    return m_bands[type].get();
}

ReportGroup &ReportLayout::addGroup(ReportGroup::KeyFunction key)
{
    m_groups.push_back(std::make_unique<ReportGroup>(std::move(key)));
    return *m_groups.back();
}

ReportGroup &ReportLayout::addGroupOnField(const QString &fieldName)
{
    return addGroup([fieldName](const ReportContext &context) { return context.value(fieldName); });
}

QList<ReportBand *> ReportLayout::allBands() const
{
    QList<ReportBand *> bands;
    for (const auto &band : m_bands) {
        if (band)
            bands.append(band.get());
    }
    for (const auto &group : m_groups) {
        if (group->header())
            bands.append(group->header());
        if (group->footer())
            bands.append(group->footer());
    }
    return bands;
}
