// Times the report engine: a 1,000-line quote rendered to pages, to PDF and to a report file, a
// 1,000-page grouped summary, and painting our pages into a PDF against painting the same content
// straight into a PDF with QPainter.

#include "BenchTiming.h"
#include "report/PageFile.h"
#include "report/ReportDataSource.h"
#include "report/ReportLayout.h"
#include "report/ReportOutput.h"
#include "report/ReportPainter.h"
#include "report/ReportRunner.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QList<QVariantMap> quoteLines(int count)
{
    QList<QVariantMap> rows;
    for (int i = 1; i <= count; ++i) {
        rows.append({ { u"Heading"_s, u"Heading %1"_s.arg(i / 25) },
            { u"Code"_s, u"M%1"_s.arg(i, 5, 10, QLatin1Char('0')) },
            { u"Description"_s, u"Copper pipe 15 mm, length %1 m"_s.arg(i % 12 + 1) },
            { u"Qty"_s, i % 9 + 1 }, { u"Cost"_s, 3.5 + i % 40 },
            { u"Total_Cost"_s, (i % 9 + 1) * (3.5 + i % 40) },
            { u"Notes_1"_s,
                i % 10 == 0 ? u"<p>Fit with <b>care</b>; see drawing %1</p>"_s.arg(i)
                            : QString() } });
    }
    return rows;
}

void buildQuote(ReportLayout &layout)
{
    layout.setTitle(u"Quote"_s);
    ReportBand &header = layout.addBand(ReportBand::PageHeader, 70.6);
    header.setFrame({ Qt::BottomEdge });
    auto &title = header.addSystemField({ 2.1, 3.2, 65.9, 7.9 }, ReportSystemField::Title);
    title.setFont(QFont(u"Arial"_s, 18, QFont::Bold));
    title.setColor(Qt::white);
    title.setBackground(QColor(0, 0, 128));
    header.addLabel({ 140.8, 4.2, 45, 4.5 }, u"Velbric Plumbing"_s);
    header.addMemo({ 2.1, 31.8, 46.8, 15.9 },
        [](const ReportContext &) { return u"12 Long Road\nSpringfield 3000"_s; });
    ReportBand &columns = layout.addBand(ReportBand::ColumnHeader, 8.5);
    columns.setFont(QFont(u"Arial"_s, 12, QFont::Bold));
    for (auto [x, text] : { std::pair { 2.1, u"Code"_s }, { 21.2, u"Description"_s },
             { 124.9, u"Cost"_s }, { 146.1, u"Qty"_s }, { 167.2, u"Total"_s } })
        columns.addLabel({ x, 0, 30, 5.4 }, text);
    columns.addLine({ 0, 5.4 }, { 190, 5.4 });
    layout.addGroupOnField(u"Heading"_s).addHeader(6.3).addField({ 1.6, 0, 100, 5 }, u"Heading"_s);
    ReportBand &line = layout.addBand(ReportBand::Detail, 6.1);
    line.addField({ 2.1, 0, 19, 4.5 }, u"Code"_s).setAutoSize(true);
    line.addField({ 21.2, 0, 99.7, 4.5 }, u"Description"_s);
    const auto right = [&](double edge, const QString &field, const QString &mask) {
        ReportField &f = line.addField({ edge - 30, 0, 30, 4.5 }, field);
        f.setAlignment(Qt::AlignRight | Qt::AlignTop);
        if (!mask.isEmpty())
            f.setMask(mask);
    };
    right(136.5, u"Cost"_s, u"$#,##0.00"_s);
    right(154.0, u"Qty"_s, QString());
    right(183.9, u"Total_Cost"_s, u"$#,##0.00"_s);
    ReportMemo &notes = line.addMemo({ 23.3, 5.6, 93.4, 10.8 }, u"Notes_1"_s);
    notes.setName(u"notes"_s);
    notes.setFont(QFont(u"Arial"_s, 8));
    notes.setCanGrow(true);
    line.setBeforePrint([](ReportBand &band, const ReportContext &c) {
        const bool hasNotes = !c.value(u"Notes_1"_s).toString().trimmed().isEmpty();
        band.element(u"notes"_s)->setVisible(hasNotes);
        band.setHeight(hasNotes ? 4.5 + 10.8 + 2.4 : 4.5 + 1.6);
        return true;
    });
    ReportBand &closing = layout.addBand(ReportBand::Summary, 32);
    closing.addSum({ 130, 4.2, 54.7, 5 }, u"Total_Cost"_s).setMask(u"$#,###,###.00"_s);
    ReportBand &footer = layout.addBand(ReportBand::PageFooter, 27.8);
    footer.setFrame({ Qt::TopEdge });
    footer.addSystemField({ 0, 21.7, 190, 4 }, ReportSystemField::PageNumber, u"Page "_s)
        .setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void buildSummary(ReportLayout &layout)
{
    layout.setTitle(u"Quote Summary"_s);
    layout.setOrientation(QPageLayout::Landscape);
    layout.addBand(ReportBand::PageHeader, 11.4)
        .addSystemField({ 0, 1.1, 277, 9 }, ReportSystemField::Title)
        .setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ReportGroup &status = layout.addGroupOnField(u"Status"_s);
    status.addHeader(9.3).addField({ 0.8, 3.2, 48.2, 5.3 }, u"Status"_s);
    ReportBand &record = layout.addBand(ReportBand::Detail, 11.9);
    record.addField({ 0.8, 2.1, 20, 4.5 }, u"Quote_No"_s);
    record.addField({ 21.4, 2.1, 78.3, 4.5 }, u"QuoteDescription"_s);
    record.addField({ 185.6, 2.1, 30, 4.5 }, u"TotalLabour"_s).setMask(u"$#,##0.00"_s);
    ReportBand &groupFooter = status.addFooter(13.5);
    groupFooter.addSum({ 185.9, 2.1, 30, 4.5 }, u"TotalLabour"_s).setMask(u"$#,###,###.00"_s);
    layout.addBand(ReportBand::Summary, 10.6)
        .addSum({ 185.4, 4.2, 30, 4.5 }, u"TotalLabour"_s)
        .setMask(u"$#,###,###.00"_s);
    layout.addBand(ReportBand::PageFooter, 6.3)
        .addSystemField({ 0, 0.5, 277, 4 }, ReportSystemField::PageNumber, u"Page "_s)
        .setAlignment(Qt::AlignRight | Qt::AlignTop);
}

// The same quote content painted straight into the writer: fixed row heights, no primitives.
int paintDirect(QPdfWriter &writer, const QList<QVariantMap> &rows)
{
    QPainter painter(&writer);
    const double dots = writer.resolution() / 25.4;
    const auto at = [&](double x, double y, double w, double h) {
        return QRectF(x * dots, y * dots, w * dots, h * dots);
    };
    const QFont plain(u"Arial"_s, 10);
    const QFont bold(u"Arial"_s, 12, QFont::Bold);
    int pages = 0;
    double y = 1e9;
    const double bottom = 297 - 10 - 27.8;
    qsizetype index = 0;
    const auto newPage = [&] {
        if (pages++ > 0)
            writer.newPage();
        painter.fillRect(at(12.1, 13.2, 65.9, 7.9), QColor(0, 0, 128));
        painter.setFont(QFont(u"Arial"_s, 18, QFont::Bold));
        painter.setPen(Qt::white);
        painter.drawText(at(12.1, 13.2, 65.9, 7.9), u"Quote"_s);
        painter.setPen(Qt::black);
        painter.setFont(bold);
        painter.drawText(at(12.1, 80.6, 30, 5.4), u"Code"_s);
        painter.drawText(at(31.2, 80.6, 60, 5.4), u"Description"_s);
        painter.drawLine(at(10, 86, 190, 0).topLeft(), at(10, 86, 190, 0).topRight());
        painter.drawText(
            at(10, 291 - 27.8 + 21.7, 190, 4), Qt::AlignRight, u"Page %1"_s.arg(pages));
        painter.setFont(plain);
        y = 10 + 70.6 + 8.5;
    };
    for (const QVariantMap &row : rows) {
        const bool notes = !row.value(u"Notes_1"_s).toString().isEmpty();
        const double height = notes ? 18.7 : 6.1;
        if (y + height > bottom)
            newPage();
        painter.drawText(at(12.1, y, 19, 4.5), row.value(u"Code"_s).toString());
        painter.drawText(at(31.2, y, 99.7, 4.5), row.value(u"Description"_s).toString());
        painter.drawText(at(116.5, y, 30, 4.5), Qt::AlignRight,
            QString::number(row.value(u"Cost"_s).toDouble(), 'f', 2));
        painter.drawText(at(134, y, 30, 4.5), Qt::AlignRight, row.value(u"Qty"_s).toString());
        painter.drawText(at(163.9, y, 30, 4.5), Qt::AlignRight,
            QString::number(row.value(u"Total_Cost"_s).toDouble(), 'f', 2));
        if (notes)
            painter.drawText(at(33.3, y + 5.6, 93.4, 10.8), row.value(u"Notes_1"_s).toString());
        y += height;
        ++index;
    }
    painter.end();
    return pages;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = 5;

    const QList<QVariantMap> lines = quoteLines(1000);
    ReportLayout quote;
    buildQuote(quote);
    RenderedReport rendered;
    const double runMs = bestOf(runs, [&] {
        ListDataSource data(lines);
        rendered = ReportRunner(quote).run(data);
    });
    const auto pages = double(rendered.pages.size());
    std::printf("1,000-line quote to pages:       %8.1f ms  (%d pages, budget 500 ms)\n", runMs,
        int(pages));

    QByteArray pdf;
    const double pdfMs = bestOf(runs, [&] {
        pdf.clear();
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QString error;
        ReportOutput::writePdf(rendered, &buffer, &error);
    });
    std::printf("our pages into QPdfWriter:       %8.1f ms  %8.0f pages/s  (%lld KB)\n", pdfMs,
        pages / pdfMs * 1000, qlonglong(pdf.size() / 1024));

    int directPages = 0;
    QByteArray direct;
    const double directMs = bestOf(runs, [&] {
        direct.clear();
        QBuffer buffer(&direct);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageMargins(QMarginsF());
        directPages = paintDirect(writer, lines);
    });
    std::printf("same content straight into PDF:  %8.1f ms  %8.0f pages/s  (%d pages, %lld KB)\n",
        directMs, directPages / directMs * 1000, directPages, qlonglong(direct.size() / 1024));

    const double imageMs = bestOf(runs, [&] {
        QImage image(794, 1123, QImage::Format_ARGB32_Premultiplied); // A4 at 96 dpi
        for (const ReportPage &page : rendered.pages) {
            image.fill(Qt::white);
            QPainter painter(&image);
            ReportPainter::paint(painter, page);
        }
    });
    std::printf("our pages onto a 96 dpi image:   %8.1f ms  %8.0f pages/s\n", imageMs,
        pages / imageMs * 1000);

    QByteArray file;
    const double saveMs = bestOf(runs, [&] { file = PageFile::encode(rendered); });
    RenderedReport loaded;
    const double loadMs = bestOf(runs, [&] {
        QString error;
        PageFile::decode(file, &loaded, &error);
    });
    std::printf("report file save / load:         %8.1f / %.1f ms  (%lld KB)\n", saveMs, loadMs,
        qlonglong(file.size() / 1024));

    QList<QVariantMap> records;
    const QString statuses = u"CHIP"_s;
    for (int i = 0; i < 14000; ++i) {
        records.append({ { u"Status"_s, QString(statuses.at(i * 4 / 14000)) },
            { u"Quote_No"_s, u"Q%1"_s.arg(i, 6, 10, QLatin1Char('0')) },
            { u"QuoteDescription"_s, u"Bathroom renovation %1"_s.arg(i) },
            { u"TotalLabour"_s, 100.0 + i % 300 } });
    }
    ReportLayout summary;
    buildSummary(summary);
    int summaryPages = 0;
    const double summaryMs = bestOf(2, [&] {
        ListDataSource data(records);
        summaryPages = int(ReportRunner(summary).run(data).pages.size());
    });
    std::printf("grouped summary to pages:        %8.1f ms  (%d pages, budget 3000 ms)\n",
        summaryMs, summaryPages);
    return 0;
}
