#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>

class TDM;
class TQVTable;

// Drives a data module through random user operations on quotes and jobs of its own, each as
// the windows do it: the header into edit before a line changes, lines priced by typed texts and
// picks from the price lists, lines saved, cancelled and deleted, all lines deleted, a quote
// copied into a new job. Each step runs one operation to its end, so the stored data must then
// satisfy every rule of the data module.
class RuleSequence
{
public:
    RuleSequence(TDM &dm, quint32 seed);

    // Runs one operation and returns what it did, for the report of a failure. Texts the rules
    // refuse are part of the game; any other error escapes.
    QString step();

    // Makes count new documents to work on, quotes and jobs alternately.
    void makeDocuments(int count);
    int documentCount() const { return int(m_documents.size()); }

private:
    struct Document
    {
        bool job = false;
        double key = 0;
        QString number;
    };

    QString newDocument(bool job);
    QString insertLine(Document &document);
    QString editLine(Document &document);
    QString deleteLine(Document &document);
    QString deleteAllLines(Document &document);
    QString copyIntoJob(Document &quote);
    QString changeHeader(Document &document);

    void show(const Document &document);
    TQVTable *header(const Document &document) const;
    TQVTable *lines(const Document &document, bool material) const;
    QString type(TQVTable *line, bool material, bool job);
    QString saveOrCancel(TQVTable *line);
    void remember(bool job);

    TDM &m_dm;
    QRandomGenerator m_rng;
    QList<Document> m_documents;
};
