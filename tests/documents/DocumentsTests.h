#pragma once

// The test classes of the documents, run one after the other by one executable.
int runDemoDocumentTests(int argc, char **argv);
int runDocumentOptionTests(int argc, char **argv);
int runPrintDialogTests(int argc, char **argv);
int runPreviewTests(int argc, char **argv);
int runPdfCommandTests(int argc, char **argv);
int runDocumentMailTests(int argc, char **argv);
