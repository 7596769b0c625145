#pragma once

#include <QString>
#include <QTest>

// External programs some tests read their results with (pdftotext, pdftoppm, pdfinfo).
namespace ExternalTool {

// The tool's path on PATH, or an empty string.
QString find(const QString &tool);
// Whether the tests run in continuous integration (the environment variable CI is set), where a
// missing tool is a missing install step and must fail the test rather than skip it.
bool inContinuousIntegration();

} // namespace ExternalTool

// Skips the calling test when tool is missing, or fails it in continuous integration.
#define REQUIRE_TOOL(tool)                                                                         \
    do {                                                                                           \
        if (ExternalTool::find(tool).isEmpty()) {                                                  \
            if (ExternalTool::inContinuousIntegration())                                           \
                QFAIL(qPrintable(QStringLiteral("%1 is not installed (scripts/install-deps "      \
                                                "installs it)")                                    \
                                     .arg(tool)));                                                 \
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));                   \
        }                                                                                          \
    } while (false)
