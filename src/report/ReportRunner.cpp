#include "report/ReportRunner.h"

#include "report/ReportDataSource.h"
#include "report/ReportLayout.h"

namespace {

constexpr double epsilon = 1e-6;

} // namespace

ReportRunner::ReportRunner(ReportLayout &layout)
    : m_layout(layout)
{ }

RenderedReport ReportRunner::run(ReportDataSource &data)
{
    // A hook that throws ends the run; the runner is not left looking busy.
    struct Finish
    {
        State &state;
        ~Finish() { state = State::Finished; }
    } finish { m_state };
    m_state = State::Busy;
    m_cancelled = false;
    m_pages.clear();
    m_pageOpen = false;
    m_context = ReportContext();
    m_context.m_title = m_layout.title();
    m_context.m_printDateTime =
        m_fixedPrintTime.isValid() ? m_fixedPrintTime : QDateTime::currentDateTime();

    if (m_layout.beforeRun()) {
        m_context.m_title = m_layout.title(); // the hook may have set it
        m_sums.clear();
        m_sumsByBand.clear();
        for (ReportBand *band : m_layout.allBands()) {
            for (const auto &element : band->elements()) {
                if (auto *sum = dynamic_cast<ReportSumField *>(element.get())) {
                    sum->reset();
                    m_sums.append(sum);
                    m_sumsByBand[band].append(sum);
                }
            }
        }
        printRows(data);
        if (m_pageOpen && !m_cancelled)
            finishPage();
        fillPageCounts();
    }
    return RenderedReport { m_context.title(), m_pages };
}

void ReportRunner::printRows(ReportDataSource &data)
{
    const auto &groups = m_layout.groups();
    const qsizetype groupCount = qsizetype(groups.size());
    data.first();
    if (data.eof()) {
        if (m_layout.printIfEmpty()) {
            ensurePage();
            printBand(m_layout.band(ReportBand::Summary));
        }
        return;
    }

    const QStringList fields = data.fieldNames();
    QList<QVariant> keys;
    QVariantMap previousRow;
    bool firstRow = true;
    for (; !data.eof() && !m_cancelled; data.next()) {
        QVariantMap row;
        for (const QString &field : fields)
            row.insert(field, data.value(field));
        m_context.m_row = row;
        QList<QVariant> newKeys;
        for (const auto &group : groups)
            newKeys.append(group->key(m_context));

        qsizetype changed = 0;
        if (!firstRow) {
            while (changed < groupCount && newKeys.at(changed) == keys.at(changed))
                ++changed;
            // Footers see the last row of their group, not the row that closed it.
            m_context.m_row = previousRow;
            for (qsizetype i = groupCount - 1; i >= changed; --i)
                printBand(groups[i]->footer());
            m_context.m_row = row;
        }
        ++m_context.m_recordNumber;
        for (ReportSumField *sum : std::as_const(m_sums))
            sum->accumulate(m_context);
        // Group headers go to the next page with their first row rather than stay alone.
        QList<Prepared> opening;
        for (qsizetype i = changed; i < groupCount; ++i)
            prepareBand(groups[i]->header(), &opening);
        prepareBand(m_layout.band(ReportBand::Detail), &opening);
        placeTogether(opening);

        keys = newKeys;
        previousRow = row;
        firstRow = false;
    }
    if (m_cancelled)
        return;
    m_context.m_row = previousRow;
    for (qsizetype i = groupCount - 1; i >= 0; --i)
        printBand(groups[i]->footer());
    printBand(m_layout.band(ReportBand::Summary));
}

void ReportRunner::printBand(ReportBand *band)
{
    QList<Prepared> prepared;
    prepareBand(band, &prepared);
    placeTogether(prepared);
}

void ReportRunner::prepareBand(ReportBand *band, QList<Prepared> *out)
{
    if (!band || m_cancelled)
        return;
    ensurePage();
    if (band->beforePrint(m_context))
        out->append({ band->prepare(m_context, m_layout.font(), m_layout.bandWidth()),
            band->startsNewPage() });
    resetSums(band);
}

void ReportRunner::placeTogether(const QList<Prepared> &bands)
{
    if (bands.isEmpty() || m_cancelled)
        return;
    double total = 0;
    for (const Prepared &p : bands)
        total += p.band.height;
    if (bands.size() > 1 && !bands.first().startsNewPage && m_bodyUsed
        && total > m_footerTop - m_y + epsilon && total <= m_freshBody + epsilon)
        newPage();
    for (const Prepared &p : bands)
        place(p.band, p.startsNewPage);
}

// Page headers and footers print where they are put, without moving to another page.
void ReportRunner::printFixed(ReportBand *band)
{
    if (!band)
        return;
    if (band->beforePrint(m_context)) {
        const PreparedBand prepared =
            band->prepare(m_context, m_layout.font(), m_layout.bandWidth());
        const double y = band->type() == ReportBand::PageFooter
            ? m_layout.paperSize().height() - m_layout.margins().bottom() - prepared.height
            : m_y;
        m_pages.last().primitives.append(prepared.placedAt(m_layout.margins().left(), y));
        m_y = y + prepared.height;
    }
    resetSums(band);
}

void ReportRunner::place(PreparedBand prepared, bool startsNewPage)
{
    if (startsNewPage && m_bodyUsed)
        newPage();
    while (!m_cancelled) {
        const double available = m_footerTop - m_y;
        const bool fits = prepared.height <= available + epsilon;
        if (!fits && m_bodyUsed && prepared.height <= m_freshBody + epsilon) {
            newPage();
            continue;
        }
        PreparedBand rest;
        if (!fits && prepared.split(available, &rest)) {
            m_pages.last().primitives.append(prepared.placedAt(m_layout.margins().left(), m_y));
            m_bodyUsed = true;
            if (rest.primitives.isEmpty())
                return;
            newPage();
            prepared = std::move(rest);
            continue;
        }
        if (!fits && m_bodyUsed) {
            newPage();
            continue;
        }
        // It fits, or nothing of it fits even an empty page: then it prints cut off by the paper.
        m_pages.last().primitives.append(prepared.placedAt(m_layout.margins().left(), m_y));
        m_y += prepared.height;
        m_bodyUsed = true;
        return;
    }
}

void ReportRunner::ensurePage()
{
    if (!m_pageOpen && !m_cancelled)
        startPage();
}

void ReportRunner::startPage()
{
    ReportPage page;
    page.paperSize = m_layout.paperSize();
    page.margins = m_layout.margins();
    m_pages.append(page);
    m_pageOpen = true;
    m_bodyUsed = false;
    m_context.m_pageNumber = int(m_pages.size());
    const ReportBand *footer = m_layout.band(ReportBand::PageFooter);
    m_footerTop = page.paperSize.height() - page.margins.bottom() - (footer ? footer->height() : 0);
    m_y = page.margins.top();
    printFixed(m_layout.band(ReportBand::PageHeader));
    printFixed(m_layout.band(ReportBand::ColumnHeader));
    m_freshBody = m_footerTop - m_y;
}

void ReportRunner::finishPage()
{
    printFixed(m_layout.band(ReportBand::PageFooter));
    m_pageOpen = false;
    if (m_pageHook && !m_pageHook(m_pages))
        m_cancelled = true;
}

void ReportRunner::newPage()
{
    finishPage();
    if (!m_cancelled)
        startPage();
}

void ReportRunner::fillPageCounts()
{
    const QString count = QString::number(m_pages.size());
    for (ReportPage &page : m_pages) {
        for (PagePrimitive &primitive : page.primitives) {
            if (auto *text = std::get_if<PageText>(&primitive))
                text->text.replace(ReportSystemField::pageCountPlaceholder(), count);
        }
    }
}

void ReportRunner::resetSums(const ReportBand *band)
{
    const auto it = m_sumsByBand.constFind(band);
    if (it == m_sumsByBand.cend())
        return;
    for (ReportSumField *sum : *it) {
        if (sum->resetAfterPrint())
            sum->reset();
    }
}
