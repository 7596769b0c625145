// Times refusing hostile report files and measures the memory it takes: a stream that inflates to
// 1 GiB, 300 one-colour 5000 x 5000 pictures, a name linked to /dev/zero, a pipe. Each file is
// loaded in a process of its own, so that its peak memory is its own.

#include "report/PageFile.h"
#include "report/PageStream.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <sys/stat.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

// A well-sealed file whose header declares declared payload bytes, holding stream as its
// compressed payload.
QByteArray sealedStream(const QByteArray &stream, quint32 declared)
{
    QByteArray sealed = PageFile::seal(QByteArray(16, '\0'));
    QByteArray compressed = QByteArray(4, '\0') + stream;
    qToBigEndian<quint32>(declared, compressed.data());
    QByteArray fields = sealed.mid(8, 12);
    qToBigEndian<quint32>(declared, fields.data() + 4);
    qToBigEndian<quint32>(quint32(compressed.size()), fields.data() + 8);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(fields);
    hash.addData(compressed);
    return sealed.left(8) + fields + hash.result() + compressed;
}

// 1 GiB of zeros as one zlib stream, made a megabyte at a time.
QByteArray gigabyteOfZeros()
{
    z_stream z {};
    deflateInit(&z, 9);
    QByteArray out;
    const QByteArray block(1024 * 1024, '\0');
    char buffer[64 * 1024];
    for (int i = 0; i <= 1024; ++i) {
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
        z.avail_in = i < 1024 ? uInt(block.size()) : 0;
        const int flush = i < 1024 ? Z_NO_FLUSH : Z_FINISH;
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

QByteArray manyPictures()
{
    QImage plain(5000, 5000, QImage::Format_RGB32);
    plain.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    plain.save(&buffer, "PNG");
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out << quint32(0) << quint32(300);
    for (int i = 0; i < 300; ++i) {
        out << quint32(png.size());
        out.writeRawData(png.constData(), int(png.size()));
    }
    out << quint32(0);
    return PageFile::seal(payload);
}

int loadOne(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    RenderedReport report;
    QString error;
    const bool loaded = PageFile::load(path, &report, &error);
    const double ms = timer.nsecsElapsed() / 1e6;
    // The peak of this process image alone (getrusage would count the parent's from before exec).
    QFile status(u"/proc/self/status"_s);
    double peakMb = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peakMb = line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    std::printf("%8.1f ms %7.1f MB peak  %s\n", ms, peakMb, loaded ? "loaded" : qPrintable(error));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc > 1)
        return loadOne(QFile::decodeName(argv[1]));

    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    };
    const QByteArray zeros = gigabyteOfZeros();
    const QList<std::pair<QString, QString>> cases {
        { u"1 GiB of zeros, declared 1000 bytes"_s,
            write(u"bomb-small.QRP"_s, sealedStream(zeros, 1000)) },
        { u"1 GiB of zeros, declared 60 MB"_s,
            write(u"bomb-60.QRP"_s, sealedStream(zeros, 60 * 1024 * 1024)) },
        { u"300 one-colour 5000 x 5000 pictures"_s, write(u"pictures.QRP"_s, manyPictures()) },
        { u"a name linked to /dev/zero"_s, [&] {
             QFile::link(u"/dev/zero"_s, dir.filePath(u"zero.QRP"_s));
             return dir.filePath(u"zero.QRP"_s);
         }() },
        { u"a pipe nobody writes"_s, [&] {
             ::mkfifo(QFile::encodeName(dir.filePath(u"fifo.QRP"_s)).constData(), 0600);
             return dir.filePath(u"fifo.QRP"_s);
         }() },
    };
    std::printf("Refusing hostile report files, each in a process of its own:\n");
    for (const auto &[what, path] : cases) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { path });
        child.waitForFinished(60000);
        std::printf("  %-40s %s", qPrintable(what), child.readAllStandardOutput().constData());
    }
    return 0;
}
