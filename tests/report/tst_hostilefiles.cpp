#include "ReportTestSupport.h"
#include "TempDataDir.h"
#include "report/PageFile.h"
#include "report/PageStream.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace ReportTestSupport;

Q_DECLARE_METATYPE(RenderedReport)

namespace {

// A report that a failed load must leave untouched.
RenderedReport sentinel()
{
    RenderedReport report;
    report.title = u"untouched"_s;
    report.pages.append(ReportPage());
    return report;
}

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A payload with the given pictures in its table and one page showing picture index (which need
// not exist).
QByteArray payloadWithPictures(const QList<QByteArray> &pngs, quint32 index = 0)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out << quint32(0) << quint32(pngs.size());
    for (const QByteArray &bytes : pngs) {
        out << quint32(bytes.size());
        out.writeRawData(bytes.constData(), int(bytes.size()));
    }
    out << quint32(1) << 210.0 << 297.0 << 10.0 << 10.0 << 10.0 << 10.0 << quint32(1)
        << quint8(PageStream::ImageTag) << 10.0 << 10.0 << 40.0 << 40.0 << index;
    return payload;
}

// One page holding one rich text.
RenderedReport richTextReport(const QString &html)
{
    RenderedReport report;
    report.title = u"notes"_s;
    ReportPage page;
    PageRichText text;
    text.box = QRectF(10, 10, 100, 50);
    text.text = html;
    text.html = true;
    text.font = QFont(u"Arial"_s, 10);
    page.primitives.append(text);
    report.pages.append(page);
    return report;
}

// A report of pages pages, each showing picture in a box of boxMm square millimetres.
RenderedReport pictureReport(const QList<QImage> &pictures, int pages, double boxMm)
{
    RenderedReport report;
    report.title = u"pictures"_s;
    for (int i = 0; i < pages; ++i) {
        ReportPage page;
        for (const QImage &picture : pictures)
            page.primitives.append(PageImage { QRectF(10, 10, boxMm, boxMm), picture });
        report.pages.append(page);
    }
    return report;
}

// A picture every pixel of which differs from its neighbours, so that it compresses badly.
QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xff000000u | (state >> 8);
        }
    }
    return image;
}

} // namespace

// Report files from anywhere: bombs, devices, pipes, too many pixels, rich text too deep; and
// saving, which stores each picture once and refuses what loading would refuse.
class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void refusesHostileFiles_data();
    void refusesHostileFiles();
    void readsOnlyRegularFiles_data();
    void readsOnlyRegularFiles();
    void storesEachPictureOnceAtPrintSize();
    void saveRefusesWhatOpenWouldRefuse_data();
    void saveRefusesWhatOpenWouldRefuse();
    void readsFirstFormat();
};

void TestHostileFiles::refusesHostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    // A stream that inflates far beyond the size the header declares stops at that size.
    QByteArray bomb = qCompress(QByteArray(4 * 1024 * 1024, '\0'), 9);
    qToBigEndian<quint32>(1000, bomb.data());
    QByteArray sealedBomb = PageFile::seal(QByteArray(1000, '\0'));
    {
        QByteArray fields = sealedBomb.mid(8, 12);
        qToBigEndian<quint32>(quint32(bomb.size()), fields.data() + 8);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(fields);
        hash.addData(bomb);
        sealedBomb = sealedBomb.left(8) + fields + hash.result() + bomb;
    }
    QTest::newRow("inflates beyond its declared size") << sealedBomb << u"does not unpack"_s;

    QByteArray huge = PageFile::seal(QByteArray(16, '\0'));
    {
        // Declares a payload larger than any report file may unpack to.
        const quint32 claimed = quint32(PageFile::maxPayloadSize + 1);
        QByteArray compressed = huge.mid(PageFile::headerSize);
        qToBigEndian<quint32>(claimed, compressed.data());
        QByteArray fields = huge.mid(8, 12);
        qToBigEndian<quint32>(claimed, fields.data() + 4);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(fields);
        hash.addData(compressed);
        huge = huge.left(8) + fields + hash.result() + compressed;
    }
    QTest::newRow("unpacks to too much") << huge << u"too large to open"_s;

    // Pictures tiny on disk that would decode to more pixels than a file may hold in total.
    QImage plain(3000, 3000, QImage::Format_RGB32);
    plain.fill(Qt::white);
    const QByteArray onePlain = png(plain);
    QTest::newRow("pictures over the pixel budget")
        << PageFile::seal(payloadWithPictures({ onePlain, onePlain })) << u"pixels"_s;
    QTest::newRow("picture that is not a picture")
        << PageFile::seal(payloadWithPictures({ QByteArray("not a png") })) << u"bad picture"_s;
    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::red);
    QTest::newRow("picture index beyond the table")
        << PageFile::seal(payloadWithPictures({ png(small) }, 1)) << u"picture out of range"_s;
    QTest::newRow("rich text nested too deeply")
        << PageFile::seal(PageStream::write(richTextReport(u"<div>"_s.repeated(200))))
        << u"nested"_s;
    QTest::newRow("rich text of tables in tables")
        << PageFile::seal(PageStream::write(richTextReport(u"<table><tr><td>"_s.repeated(7))))
        << u"nested"_s;
    QTest::newRow("rich text too long")
        << PageFile::seal(PageStream::write(richTextReport(QString(300 * 1024, u'x'))))
        << u"too long"_s;
}

void TestHostileFiles::refusesHostileFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    RenderedReport report = sentinel();
    QString error;
    QVERIFY(!PageFile::decode(bytes, &report, &error, u"mail.QRP"_s));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(u"mail.QRP"_s), qPrintable(error));
    QCOMPARE(report, sentinel());
}

void TestHostileFiles::readsOnlyRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("a link to an endless device") << u"zero"_s << u"not a regular file"_s;
    QTest::newRow("a pipe nobody writes") << u"fifo"_s << u"not a regular file"_s;
    QTest::newRow("a folder") << u"folder"_s << u"not a regular file"_s;
    QTest::newRow("larger than any report file") << u"large"_s << u"too large"_s;
}

void TestHostileFiles::readsOnlyRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TempDataDir dir;
    const QString path = dir.filePath(u"hostile.QRP"_s);
    if (kind == u"zero") {
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(PageFile::encode(sampleReport(3)));
        QVERIFY(file.resize(PageFile::maxFileSize + 1)); // sparse: takes no disk space
    }
    RenderedReport report = sentinel();
    QString error;
    QVERIFY(!PageFile::load(path, &report, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(u"hostile.QRP"_s), qPrintable(error));
    QCOMPARE(report, sentinel());
}

void TestHostileFiles::storesEachPictureOnceAtPrintSize()
{
    // A photo as a logo, larger than the box prints it, on every one of 13 pages.
    const QImage logo = photo(1600, 1200);
    const double boxMm = 40;
    const RenderedReport report = pictureReport({ logo }, 13, boxMm);
    TempDataDir dir;
    const QString path = dir.filePath(u"logo.QRP"_s);
    QString error;
    QVERIFY2(PageFile::save(path, report, &error), qPrintable(error));
    const int printPixels = int(std::ceil(boxMm / 25.4 * PageStream::pictureDpi));
    // One picture of at most printPixels square, three bytes a pixel at worst.
    QVERIFY2(QFileInfo(path).size() < qint64(printPixels) * printPixels * 4,
        qPrintable(QString::number(QFileInfo(path).size())));

    RenderedReport loaded;
    QVERIFY2(PageFile::load(path, &loaded, &error), qPrintable(error));
    QCOMPARE(loaded.pages.size(), 13);
    const QImage first = std::get<PageImage>(loaded.pages.first().primitives.first()).image;
    QCOMPARE(first.size(), QSize(printPixels, printPixels));
    for (const ReportPage &page : std::as_const(loaded.pages)) {
        const auto &image = std::get<PageImage>(page.primitives.first());
        QCOMPARE(image.box, QRectF(10, 10, boxMm, boxMm));
        QCOMPARE(image.image.cacheKey(), first.cacheKey()); // one picture in memory too
    }
}

void TestHostileFiles::saveRefusesWhatOpenWouldRefuse_data()
{
    QTest::addColumn<RenderedReport>("report");
    QTest::addColumn<QString>("message");
    // Five different pictures, each printed at its full size, together over the pixel budget.
    QList<QImage> pictures;
    for (int i = 0; i < 5; ++i) {
        QImage picture(2000, 2000, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 60, 200, 200));
        pictures.append(picture);
    }
    QTest::newRow("pictures over the budget") << pictureReport(pictures, 1, 200) << u"pixels"_s;
    QTest::newRow("rich text nested too deeply")
        << richTextReport(u"<div>"_s.repeated(200)) << u"nested"_s;
}

void TestHostileFiles::saveRefusesWhatOpenWouldRefuse()
{
    QFETCH(RenderedReport, report);
    QFETCH(QString, message);
    TempDataDir dir;
    const QString path = dir.filePath(u"big.QRP"_s);
    QString error;
    QVERIFY(!PageFile::save(path, report, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(u"big.QRP"_s), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TestHostileFiles::readsFirstFormat()
{
    // Files of the first format hold each picture where it is shown, and still load.
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QByteArray bytes = png(picture);
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out << quint32(2);
    out.writeRawData("v1", 2);
    out << quint32(1) << 210.0 << 297.0 << 10.0 << 10.0 << 10.0 << 10.0 << quint32(1)
        << quint8(PageStream::ImageTag) << 10.0 << 20.0 << 30.0 << 40.0 << quint32(bytes.size());
    out.writeRawData(bytes.constData(), int(bytes.size()));

    RenderedReport report;
    QString error;
    QVERIFY2(PageFile::decode(PageFile::seal(payload, 1), &report, &error), qPrintable(error));
    QCOMPARE(report.title, u"v1"_s);
    const auto &image = std::get<PageImage>(report.pages.first().primitives.first());
    QCOMPARE(image.box, QRectF(10, 20, 30, 40));
    QCOMPARE(image.image.pixel(3, 3), QColor(Qt::blue).rgb());
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
