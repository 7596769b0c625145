#include "ReportTestSupport.h"
#include "TempDataDir.h"
#include "report/PageFile.h"
#include "report/PageStream.h"

#include <QDataStream>
#include <QFile>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ReportTestSupport;

namespace {

// A report that a failed load must leave untouched.
RenderedReport sentinel()
{
    RenderedReport report;
    report.title = u"untouched"_s;
    report.pages.append(ReportPage());
    return report;
}

// A payload that follows the stream layout up to a page count it cannot hold.
QByteArray payloadWithPageCount(quint32 pages)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out << quint32(1);
    out.writeRawData("T", 1);
    out << quint32(0) << pages; // no pictures
    return payload;
}

} // namespace

class TestPageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void savedPagesLoadBackPixelIdentical_data();
    void savedPagesLoadBackPixelIdentical();
    void refusesEveryTruncation();
    void refusesEveryFlippedByte();
    void checksEveryLengthInsideThePayload();
    void refusesForeignAndLyingFiles_data();
    void refusesForeignAndLyingFiles();
    void reportsFileErrors();

private:
    RenderedReport m_report;
    QByteArray m_bytes;
};

void TestPageFile::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_report = sampleReport(70);
    QVERIFY(m_report.pages.size() >= 2);
    m_bytes = PageFile::encode(m_report);
}

void TestPageFile::savedPagesLoadBackPixelIdentical_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen") << 96;
    QTest::newRow("printer") << 300;
}

void TestPageFile::savedPagesLoadBackPixelIdentical()
{
    QFETCH(int, dpi);
    TempDataDir dir;
    const QString path = dir.filePath(u"week.QRP"_s);
    QString error;
    QVERIFY2(PageFile::save(path, m_report, &error), qPrintable(error));
    RenderedReport loaded;
    QVERIFY2(PageFile::load(path, &loaded, &error), qPrintable(error));
    QCOMPARE(loaded.title, m_report.title);
    QCOMPARE(loaded.pages.size(), m_report.pages.size());
    for (qsizetype i = 0; i < loaded.pages.size(); ++i) {
        QCOMPARE(loaded.pages[i].primitives.size(), m_report.pages[i].primitives.size());
        QCOMPARE(loaded.pages[i].paperSize, m_report.pages[i].paperSize);
        QVERIFY(paint(loaded.pages[i], dpi) == paint(m_report.pages[i], dpi));
    }
    // Saving again writes the same bytes: nothing was lost or added on the way through.
    QCOMPARE(PageFile::encode(loaded), m_bytes);
}

void TestPageFile::refusesEveryTruncation()
{
    // Every cut inside the header, then cuts spread over the rest.
    QList<qsizetype> cuts;
    for (qsizetype n = 0; n < 80; ++n)
        cuts.append(n);
    for (qsizetype n = 80; n < m_bytes.size(); n += std::max<qsizetype>(1, m_bytes.size() / 300))
        cuts.append(n);
    cuts.append(m_bytes.size() - 1);
    for (qsizetype cut : cuts) {
        RenderedReport report = sentinel();
        QString error;
        QVERIFY2(!PageFile::decode(m_bytes.left(cut), &report, &error, u"cut.QRP"_s),
            qPrintable(u"cut at %1"_s.arg(cut)));
        QVERIFY(!error.isEmpty());
        QVERIFY(error.contains(u"cut.QRP"_s));
        QCOMPARE(report, sentinel());
    }
}

void TestPageFile::refusesEveryFlippedByte()
{
    const qsizetype step = std::max<qsizetype>(1, m_bytes.size() / 400);
    for (qsizetype at = 0; at < m_bytes.size(); at += (at < 64 ? 1 : step)) {
        for (int bit : { 0, 7 }) {
            QByteArray damaged = m_bytes;
            damaged[at] = char(damaged[at] ^ (1 << bit));
            RenderedReport report = sentinel();
            QString error;
            QVERIFY2(!PageFile::decode(damaged, &report, &error),
                qPrintable(u"bit %1 of byte %2"_s.arg(bit).arg(at)));
            QVERIFY(!error.isEmpty());
            QCOMPARE(report, sentinel());
        }
    }
}

void TestPageFile::checksEveryLengthInsideThePayload()
{
    // Sealed with a valid checksum, so only the payload's own checks stand between a lying file
    // and a crash: every cut must be refused, and a changed byte either loads or is refused.
    const QByteArray payload = PageStream::write(sampleReport(12));
    for (qsizetype cut = 0; cut < payload.size(); cut += (cut < 400 ? 1 : 7)) {
        RenderedReport report = sentinel();
        QString error;
        QVERIFY2(!PageFile::decode(PageFile::seal(payload.left(cut)), &report, &error),
            qPrintable(u"payload cut at %1"_s.arg(cut)));
        QVERIFY(error.contains(u"damaged"_s));
        QCOMPARE(report, sentinel());
    }
    for (qsizetype at = 0; at < payload.size(); at += (at < 400 ? 1 : 5)) {
        for (char value : { char(0xff), char(0x80), char(0x00) }) {
            QByteArray changed = payload;
            changed[at] = value;
            RenderedReport report = sentinel();
            QString error;
            if (!PageFile::decode(PageFile::seal(changed), &report, &error)) {
                QVERIFY(!error.isEmpty());
                QCOMPARE(report, sentinel());
            }
        }
    }
}

void TestPageFile::refusesForeignAndLyingFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray good = PageFile::encode(sampleReport(3));
    QTest::newRow("empty file") << QByteArray() << u"not a report file"_s;
    QTest::newRow("a PNG picture")
        << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << u"not a report file"_s;
    QTest::newRow("text") << QByteArray("Quote 1001, total $99.00\n") << u"not a report file"_s;
    QTest::newRow("magic only") << good.left(8) << u"damaged"_s;
    QTest::newRow("trailing bytes") << good + QByteArray(3, 'x') << u"damaged"_s;
    QByteArray newer = good;
    newer[9] = char(9);
    QTest::newRow("newer format") << newer << u"newer version"_s;
    QTest::newRow("page count beyond the data")
        << PageFile::seal(payloadWithPageCount(0xFFFFFFFFu)) << u"page count"_s;
    QTest::newRow("a million pages in a few bytes")
        << PageFile::seal(payloadWithPageCount(1000000)) << u"page count"_s;
    QTest::newRow("title longer than the data")
        << PageFile::seal(QByteArray("\x7f\xff\xff\xff", 4)) << u"text length"_s;
    QByteArray badTag = payloadWithPageCount(1);
    {
        QDataStream out(&badTag, QIODevice::Append);
        out.setByteOrder(QDataStream::BigEndian);
        out.setFloatingPointPrecision(QDataStream::DoublePrecision);
        out << 210.0 << 297.0 << 10.0 << 10.0 << 10.0 << 10.0 << quint32(1) << quint8(99);
        badTag.append(QByteArray(60, '\0'));
    }
    QTest::newRow("unknown primitive") << PageFile::seal(badTag) << u"unknown kind"_s;
    QByteArray nanPaper = payloadWithPageCount(1);
    {
        QDataStream out(&nanPaper, QIODevice::Append);
        out.setByteOrder(QDataStream::BigEndian);
        out.setFloatingPointPrecision(QDataStream::DoublePrecision);
        out << qQNaN() << 297.0 << 10.0 << 10.0 << 10.0 << 10.0 << quint32(0);
    }
    QTest::newRow("paper size not a number") << PageFile::seal(nanPaper) << u"paper size"_s;
}

void TestPageFile::refusesForeignAndLyingFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    RenderedReport report = sentinel();
    QString error;
    QVERIFY(!PageFile::decode(bytes, &report, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(report, sentinel());
}

void TestPageFile::reportsFileErrors()
{
    TempDataDir dir;
    RenderedReport report = sentinel();
    QString error;
    QVERIFY(!PageFile::load(dir.filePath(u"missing.QRP"_s), &report, &error));
    QVERIFY(error.contains(u"missing.QRP"_s));
    QVERIFY(!PageFile::save(dir.filePath(u"no/such/folder/x.QRP"_s), m_report, &error));
    QVERIFY(error.contains(u"x.QRP"_s));

    // A failed load leaves the caller's pages alone; a save writes exactly the encoded bytes.
    const QString path = dir.filePath(u"keep.QRP"_s);
    QVERIFY(PageFile::save(path, m_report, &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), m_bytes);
    QCOMPARE(report, sentinel());
}

QTEST_MAIN(TestPageFile)
#include "tst_pagefile.moc"
