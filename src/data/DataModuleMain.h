#pragma once

#include "data/TQVTableSrc.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DataSource;
class TQVDatabase;
struct PriceListPlan;

// The data module: the one connection to the data directory and every table view of the program,
// with the business rules bound to the views as hooks. Created before any window, destroyed last.
class TDM : public QObject
{
    Q_OBJECT

public:
    explicit TDM(QObject *parent = nullptr);
    ~TDM() override;

    // Connects to the data directory beside the executable and opens every view. On failure
    // it reports the engine's message through startupFailure and asks the program to end.
    void DMCreate(const QString &executableFilePath = {});
    bool isConnected() const { return m_connected; }
    static QString dataDirectoryFor(const QString &executableFilePath);
    // A data directory that DMCreate opens instead of the one beside the executable (an
    // installed program, the data tool); empty restores the one beside the executable.
    void setDataDirectory(const QString &directory) { m_dataDirectory = directory; }

    // What DMCreate does when the data cannot be opened; the program shows it in an information
    // box. By default the text goes to the warning log.
    std::function<void(const QString &)> startupFailure;
    // Asks the program to end once its message loop runs; by default quits the application.
    std::function<void()> requestTermination;
    static QString startupFailureText(const QString &engineMessage);

    // Settings shared by every user of the data directory.
    bool ReadSettingFlag(const QString &section, const QString &parameter);
    void WriteSetting(const QString &section, const QString &parameter, const QString &value);
    void WriteSettingFlag(const QString &section, const QString &parameter, bool value);

    // The finder's client filter of the two criteria views.
    void FilterCriteriaByClient();
    void ClearCriteriaFilter();

    // The one key counter of every table. Two copies never receive the same key.
    double NextKey();
    // Takes count keys at once with one counter update, inside the current operation; NextKey
    // hands them out first until the operation ends (ReservedKeys), then uses the counter again.
    // Keys of the block left unused are never given; an operation given up gives them back.
    void reserveKeys(int count);
    class ReservedKeys
    {
    public:
        ReservedKeys(TDM &dm, int count);
        // Hands out keys first to last, taken from the counter earlier in the same operation.
        ReservedKeys(TDM &dm, double first, double last);
        ~ReservedKeys();
        ReservedKeys(const ReservedKeys &) = delete;
        ReservedKeys &operator=(const ReservedKeys &) = delete;

    private:
        TDM &m_dm;
    };

    // Quotes and jobs: the views and field names by which they differ (data/Document.h). Every
    // rule on headers and lines is written once against a Document; so are the windows' commands.
    struct Document;
    enum class DocumentKind
    {
        Quote,
        Job
    };
    const Document &document(DocumentKind kind) const;

    // The address a message about the document numbered number goes to: its client's default
    // e-mail address (the one Default_Email names, "1" to "3"), else the client's first address;
    // empty when the document or its client has none. Moves no view.
    QString clientEmailAddress(DocumentKind kind, const QString &number);
    static QString defaultEmailAddress(const QString &defaultEmail, const QStringList &addresses);

    // Operations on all lines of the current header.
    void DeleteQuoteLines();
    void DeleteJobLines();
    void CopyQuoteLinesToJob();
    // The current quote's description, status, priority, client, tax rate, discount and sales
    // person into the job being made from it (the current job, in edit or insert state).
    void CopyQuoteDetailsToJob();
    // Deletes the document's current header with all its lines, in one operation: a failure
    // leaves the header, its lines and their printed rows as they were.
    void deleteDocument(const Document &document);

    // Copy the current price-list item into the line being edited and price it.
    void FillQuoteMaterialLine();
    void FillJobMaterialLine();
    void FillLabourLine();

    // The price list as a spreadsheet file (materials and labour rates): what importing a file
    // would add and change, carrying out such a plan as one operation (all of it or nothing),
    // and the file of the stored list.
    PriceListPlan planPriceListImport(const QByteArray &csv);
    void importPriceList(const PriceListPlan &plan);
    QByteArray exportPriceList();

    // The document-number filter of a line view: Quote_No = 'Q-7'.
    static QString documentNumberFilter(const QString &field, const QString &number);

    // All views in the order they are opened.
    const QList<TQVTable *> &views() const { return m_views; }

    TQVDatabase *DB;
    DataSource *dsClients; // tblQuotes or tblJobs, whichever page the main window shows

    TQVTable *tblDisplayClients;
    TQVTable *tblClientDetails;
    TQVTable *tblClients;
    TQVTable *tblQuotesMaterial;
    TQVTable *tblBusiness;
    TQVTable *tblMaterial;
    TQVTable *tblQuotes;
    TQVTable *tblKeys;
    TQVTable *tblBusTypes;
    TQVTable *tblHeadings;
    TQVTable *tblUnit;
    TQVTable *tblNextQuote;
    TQVTable *tblNextJob;
    TQVTable *tblJobMaterials;
    TQVTable *tblJobs;
    TQVTable *tblLabour;
    TQVTable *tblJobLabour;
    TQVTable *tblQuoteLabour;
    TQVTable *tblTaxRates;
    TQVTable *tblReportJobs;
    TQVTable *tblReportQuotes;
    TQVTable *tblCriteriaQuotes;
    TQVTable *tblCriteriaJobs;
    TQVTable *tblSales;
    TQVTable *tblGlobal;
    TQVTable *tblINI;

private:
    double m_nextReservedKey = 0; // the key block of reserveKeys: next to give and last
    double m_lastReservedKey = -1;
    enum class LineKind
    {
        Material,
        Labour
    };

    TQVTable *makeView(const QString &name, const QString &tableName);
    double advanceKeyCounter(int count);
    void bindReferenceHooks();
    void bindInUseChecks();
    void bindHeaderHooks(Document &document);
    void bindCounterHooks(Document &document);
    void bindMaterialLineHooks(Document &document);
    void bindLabourLineHooks(Document &document);
    void bindLineSums(Document &document,
        TQVTable *lines,
        const QString &sumField,
        const QString &undoLabel,
        LineKind kind);
    void AssignDocumentNumber(Document &document);
    void advanceDocumentNumber(Document &document);
    void RecalculateTax(Document &document);
    void deleteLines(const Document &document);
    void fillMaterialLine(Document &document);
    void fillLabourLine(Document &document);
    static QString undoKey(const Document &document);
    void saveUndoCharge(Document &document, double charge, const QString &label);
    void dropUndoRow(Document &document);
    void writePrintedRow(Document &document,
        TQVTable *line,
        const QVector<QVariant> &saved,
        LineKind kind,
        double newRowKey);
    void defineViews();
    void defineDocuments();
    void closeViews();

    QList<TQVTable *> m_views;
    std::unique_ptr<Document> m_quote;
    std::unique_ptr<Document> m_job;
    bool m_connected = false;
    QString m_dataDirectory;
};
