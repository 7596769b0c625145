#include "data/DataModuleMain.h"

#include "data/Document.h"
#include "data/NumberText.h"
#include "data/TableSchema.h"
#include "engine/DataSource.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "engine/RecordLocks.h"
#include "engine/TQVDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString completedFilter = u"Status<>'C'"_s;

} // namespace

TDM::TDM(QObject *parent)
    : QObject(parent)
    , DB(new TQVDatabase(this))
    , dsClients(new DataSource(this))
{
    DB->setDatabaseName(u"DB"_s);
    DB->setDriverName(u"STANDARD"_s);
    DB->params() << u"Path=C:\\Project Files\\Velbric Software\\Tessorin\\Data"_s;
    DB->setSchema(&tessorinSchema());
    requestTermination = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };
    startupFailure = [](const QString &text) { qWarning("%s", qPrintable(text)); };
    defineViews();
    defineDocuments();
    bindReferenceHooks();
    bindInUseChecks();
    for (Document *document : { m_quote.get(), m_job.get() }) {
        bindHeaderHooks(*document);
        bindCounterHooks(*document);
        bindMaterialLineHooks(*document);
        bindLabourLineHooks(*document);
    }
}

void TDM::defineDocuments()
{
    m_quote = std::make_unique<Document>();
    m_quote->header = tblQuotes;
    m_quote->materials = tblQuotesMaterial;
    m_quote->labour = tblQuoteLabour;
    m_quote->printed = tblReportQuotes;
    m_quote->counter = tblNextQuote;
    m_quote->key = u"Quote_ID"_s;
    m_quote->number = u"Quote_No"_s;
    m_quote->total = u"QuoteTotal"_s;
    m_quote->grandTotal = u"VQuoteTotal"_s;
    m_quote->repId = u"Quote_RepID"_s;
    m_quote->counterNext = u"NextQuote"_s;
    m_quote->priorityIndex = u"PriorQuoteNo"_s;
    m_quote->materialUndoLabel = u"Record to Cancel Quote"_s;
    m_quote->labourUndoLabel = u"Record to Cancel Quote Labour"_s;
    m_quote->noun = u"quote"_s;

    m_job = std::make_unique<Document>();
    m_job->kind = DocumentKind::Job;
    m_job->isJob = true;
    m_job->header = tblJobs;
    m_job->materials = tblJobMaterials;
    m_job->labour = tblJobLabour;
    m_job->printed = tblReportJobs;
    m_job->counter = tblNextJob;
    m_job->key = u"Job_ID"_s;
    m_job->number = u"Job_No"_s;
    m_job->total = u"JobTotal"_s;
    m_job->grandTotal = u"VTotalJob"_s;
    m_job->repId = u"Job_RepID"_s;
    m_job->counterNext = u"NextJob"_s;
    m_job->priorityIndex = u"PriorJobNo"_s;
    m_job->materialUndoLabel = u"Record to Cancel Job"_s;
    m_job->labourUndoLabel = u"Record to Cancel Job Labour"_s;
    m_job->noun = u"job"_s;
}

const TDM::Document &TDM::document(DocumentKind kind) const
{
    return kind == DocumentKind::Job ? *m_job : *m_quote;
}

TDM::~TDM()
{
    closeViews();
    // The views go before the connection they read through.
    qDeleteAll(m_views);
    m_views.clear();
}

TQVTable *TDM::makeView(const QString &name, const QString &tableName)
{
    auto *view = new TQVTable(this);
    view->setObjectName(name);
    view->setDatabase(DB);
    view->setTableName(tableName);
    view->SetAutoUpdateInterval(1000);
    return view;
}

void TDM::defineViews()
{
    tblDisplayClients = makeView(u"tblDisplayClients"_s, u"Clients.DB"_s);

    tblClientDetails = makeView(u"tblClientDetails"_s, u"Clients"_s);
    tblClientDetails->setIndexFieldNames(u"Client_ID"_s);
    tblClientDetails->setMasterSource(dsClients);
    tblClientDetails->setMasterFields(u"Client_ID"_s);

    tblClients = makeView(u"tblClients"_s, u"Clients"_s);
    tblClients->setIndexFieldNames(u"Contact"_s);
    tblClients->SetAutoUpdateEnabled(true);

    tblQuotesMaterial = makeView(u"tblQuotesMaterial"_s, u"QMat.DB"_s);
    tblQuotesMaterial->setIndexFieldNames(u"Quote_No"_s);
    tblBusiness = makeView(u"tblBusiness"_s, u"Business.db"_s);
    tblMaterial = makeView(u"tblMaterial"_s, u"Material.DB"_s);
    tblMaterial->setIndexFieldNames(u"Material_Code"_s);

    tblQuotes = makeView(u"tblQuotes"_s, u"Quotes.DB"_s);
    tblQuotes->setFilter(completedFilter);
    tblQuotes->addCalculatedField(u"VQuoteTotal"_s, FieldType::Money);
    tblQuotes->addCalculatedField(u"VClientDesc"_s, FieldType::Alpha, 60);

    tblKeys = makeView(u"tblKeys"_s, u"PKey.DB"_s);
    tblBusTypes = makeView(u"tblBusTypes"_s, u"BusType.db"_s);
    tblBusTypes->setIndexFieldNames(u"Business_Type_ID"_s);
    tblHeadings = makeView(u"tblHeadings"_s, u"Headings.db"_s);
    tblUnit = makeView(u"tblUnit"_s, u"Unit.db"_s);
    tblNextQuote = makeView(u"tblNextQuote"_s, u"NxtQuote.db"_s);
    tblNextJob = makeView(u"tblNextJob"_s, u"NxtJob.db"_s);
    tblJobMaterials = makeView(u"tblJobMaterials"_s, u"JobMat.db"_s);
    tblJobMaterials->setIndexFieldNames(u"Job_No"_s);

    tblJobs = makeView(u"tblJobs"_s, u"Jobs.DB"_s);
    tblJobs->setFilter(completedFilter);
    tblJobs->addCalculatedField(u"VTotalJob"_s, FieldType::Money);
    tblJobs->addCalculatedField(u"VClientDesc"_s, FieldType::Alpha, 60);

    tblLabour = makeView(u"tblLabour"_s, u"Labour.db"_s);
    tblLabour->setIndexName(u"LabourCode"_s);
    tblJobLabour = makeView(u"tblJobLabour"_s, u"JobLab.db"_s);
    tblQuoteLabour = makeView(u"tblQuoteLabour"_s, u"QLab.db"_s);
    tblTaxRates = makeView(u"tblTaxRates"_s, u"TaxRates.db"_s);
    tblTaxRates->setIndexName(u"TaxRate"_s);
    tblReportJobs = makeView(u"tblReportJobs"_s, u"RepJobs.DB"_s);
    tblReportJobs->setIndexFieldNames(u"Rep_ID"_s);
    tblReportQuotes = makeView(u"tblReportQuotes"_s, u"RepQte.DB"_s);
    tblReportQuotes->setIndexFieldNames(u"Rep_ID"_s);

    tblCriteriaQuotes = makeView(u"tblCriteriaQuotes"_s, u"Quotes.DB"_s);
    tblCriteriaQuotes->setIndexFieldNames(u"Quote_ID"_s);
    tblCriteriaQuotes->fieldByName(u"Quote_No"_s)->setDisplayLabel(u"Quote No"_s);
    tblCriteriaQuotes->fieldByName(u"QuoteDescription"_s)->setDisplayLabel(u"Description"_s);
    tblCriteriaJobs = makeView(u"tblCriteriaJobs"_s, u"Jobs.DB"_s);
    tblCriteriaJobs->setIndexFieldNames(u"Job_ID"_s);
    tblCriteriaJobs->fieldByName(u"Job_No"_s)->setDisplayLabel(u"Job No"_s);
    tblCriteriaJobs->fieldByName(u"JobDescription"_s)->setDisplayLabel(u"Description"_s);

    tblSales = makeView(u"tblSales"_s, u"Sales.db"_s);
    tblSales->setIndexFieldNames(u"Salesman"_s);
    tblGlobal = makeView(u"tblGlobal"_s, u"global.db"_s);
    tblINI = makeView(u"tblINI"_s, u"INI"_s);
    tblINI->setIndexFieldNames(u"Sect;Parameter"_s);

    tblMaterial->addLookupField(u"VHeadDesc"_s, FieldType::Alpha, 30, u"HeadingCode"_s, tblHeadings,
        u"Heading_ID"_s, u"Description"_s);
    tblMaterial->addLookupField(u"VUnitDesc"_s, FieldType::Alpha, 30, u"Unit_ID"_s, tblUnit,
        u"Unit_ID"_s, u"Unit_Description"_s);
    tblLabour->addLookupField(u"VHeadDesc"_s, FieldType::Alpha, 30, u"Heading_Code"_s, tblHeadings,
        u"Heading_ID"_s, u"Description"_s);
    tblLabour->addLookupField(u"VUnitDesc"_s, FieldType::Alpha, 30, u"Unit_ID"_s, tblUnit,
        u"Unit_ID"_s, u"Unit_Description"_s);

    // The fixed order in which the views open.
    m_views = { tblDisplayClients, tblClientDetails, tblClients, tblQuotesMaterial, tblBusiness,
        tblMaterial, tblQuotes, tblKeys, tblBusTypes, tblHeadings, tblUnit, tblNextQuote,
        tblNextJob, tblJobMaterials, tblJobs, tblLabour, tblJobLabour, tblQuoteLabour, tblTaxRates,
        tblReportJobs, tblReportQuotes, tblCriteriaQuotes, tblCriteriaJobs, tblSales, tblGlobal,
        tblINI };
}

QString TDM::dataDirectoryFor(const QString &executableFilePath)
{
    return QFileInfo(executableFilePath).absolutePath() + u"/DATA/"_s;
}

QString TDM::startupFailureText(const QString &engineMessage)
{
    return u"Cannot Connect To Database. Please Check The Network Connection : "_s + u"\n\n"_s
        + engineMessage;
}

void TDM::DMCreate(const QString &executableFilePath)
{
    const QString exe =
        executableFilePath.isEmpty() ? QCoreApplication::applicationFilePath() : executableFilePath;
    const QString dataDirectory = m_dataDirectory.isEmpty()
        ? dataDirectoryFor(exe)
        : QDir(m_dataDirectory).absolutePath() + u'/';
    try {
        closeViews();
        DB->close();
        DB->setNetworkControlDirectory(dataDirectory);
        DB->params().clear();
        DB->params() << u"PATH="_s + dataDirectory << u"DEFAULT DRIVER=PARADOX"_s;
        DB->open();
        for (TQVTable *view : std::as_const(m_views))
            view->open();
    } catch (const Exception &error) {
        closeViews();
        DB->close();
        m_connected = false;
        startupFailure(startupFailureText(error.message()));
        requestTermination();
        return;
    }
    m_connected = true;
    tblQuotes->setFiltered(ReadSettingFlag(u"Options"_s, u"QuoteComplete"_s));
    tblJobs->setFiltered(ReadSettingFlag(u"Options"_s, u"JobComplete"_s));
}

void TDM::closeViews()
{
    for (auto it = m_views.crbegin(); it != m_views.crend(); ++it) {
        try {
            (*it)->close();
        } catch (const Exception &) {
            // Closing lets go of what the view holds; there is nothing to save.
        }
    }
}

bool TDM::ReadSettingFlag(const QString &section, const QString &parameter)
{
    if (!tblINI->findKey({ section, parameter }))
        return false;
    return tblINI->fieldByName(u"Val"_s)->asString() == u"True"_s;
}

void TDM::WriteSetting(const QString &section, const QString &parameter, const QString &value)
{
    // Another copy writing settings at the same moment waits for us, and we for it; the lock is
    // taken before anything is written and let go of however this ends.
    TableLock lock(DB, tblINI->fileIndex(), 10000);
    EditScope row(tblINI); // a refused row is not left in insert or edit
    if (tblINI->findKey({ section, parameter })
        || tblINI->findKey({ section.toUpper(), parameter.toUpper() })) {
        tblINI->edit();
    } else {
        tblINI->insert();
        tblINI->fieldByName(u"Sect"_s)->setAsString(section);
        tblINI->fieldByName(u"Parameter"_s)->setAsString(parameter);
    }
    tblINI->fieldByName(u"Val"_s)->setAsString(value);
    tblINI->post();
}

void TDM::WriteSettingFlag(const QString &section, const QString &parameter, bool value)
{
    WriteSetting(section, parameter, value ? u"True"_s : u"False"_s);
}

void TDM::FilterCriteriaByClient()
{
    // Both lists always show the chosen client's documents only, even while one of the tables
    // is empty: a list of every client's quotes would let the finder hand back another's. They go
    // from one client's documents straight to the next one's, never through the whole table, and
    // their grids hear of it once.
    const Field *client = tblClients->fieldByName(u"Client_ID"_s);
    const QString key = client->isNull() ? QString() : storedNumberText(client->asFloat());
    const QString filter = u"Client_ID = '"_s + key + u"'"_s;
    for (TQVTable *documents : { tblCriteriaQuotes, tblCriteriaJobs }) {
        ControlsDisabled quiet(documents);
        const bool unchanged = documents->filtered() && documents->filter() == filter;
        documents->setFilter(filter);
        documents->setFiltered(true);
        if (unchanged && documents->active())
            documents->first();
    }
}

void TDM::ClearCriteriaFilter()
{
    tblCriteriaJobs->setFiltered(false);
    tblCriteriaQuotes->setFiltered(false);
}
