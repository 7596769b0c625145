// Fuzz target: report files (".QRP") as they arrive from anywhere. The first byte chooses the layer
// the rest goes to, since a mutated whole file rarely gets past its checksum:
//     0: a whole file (header, checksum, bounded inflate, payload)
//     1: a payload of the current format, as if its file were well sealed
//     2: a payload of the first format
//     3: a zlib stream, inflated into a bounded buffer
// A report that loads is painted, so that its text and rich text are laid out too.

#include "report/PageFile.h"
#include "report/PageStream.h"
#include "report/ReportPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    RenderedReport report;
    QString error;
    bool loaded = false;
    switch (data[0] % 4) {
    case 0:
        loaded = PageFile::decode(bytes, &report, &error);
        break;
    case 1:
        loaded = PageStream::read(bytes, &report, &error);
        break;
    case 2:
        loaded = PageStream::read(bytes, &report, &error, 1);
        break;
    default: {
        QByteArray inflated;
        PageFile::inflate(QByteArray(4, '\0') + bytes, 1024 * 1024, &inflated);
        return 0;
    }
    }
    if (!loaded) {
        if (error.isEmpty())
            std::abort(); // a refusal always explains itself
        return 0;
    }
    QImage canvas(60, 85, QImage::Format_ARGB32_Premultiplied);
    for (qsizetype i = 0; i < std::min<qsizetype>(report.pages.size(), 3); ++i) {
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        ReportPainter::paint(painter, report.pages.at(i), QRectF(canvas.rect()));
    }
    return 0;
}
