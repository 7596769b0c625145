#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

#include <optional>

// The About box: product, version and compile date, the home page link, and how much of the
// computer's memory is in use.
class TfrmAbout : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // The share of physical memory in use, in percent, and the physical memory in kilobytes, read
    // from the kernel's memory summary (a /proc/meminfo text); nullopt when it cannot be read.
    struct Memory
    {
        int loadPercent = 0;
        qint64 totalKB = 0;
    };
    static std::optional<Memory> parseMemInfo(const QByteArray &memInfo);
    static std::optional<Memory> systemMemory();

    static QString memoryLoadText(int percent);
    static QString physicalMemoryText(qint64 kilobytes);
};
