#include "DemoCommand.h"

#include "CreateCommand.h"
#include "DataCommand.h"
#include "data/DataModuleMain.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/Field.h"
#include "engine/ServerConnection.h"
#include "engine/TableView.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

// A fixed seed: every run of the tool makes the same business.
constexpr quint32 demoSeed = 20250117;

struct Material
{
    const char *code;
    const char *description;
    double cost;
    double markup;
    int heading; // index into headings
    int unit; // index into units
};

const char *const headings[] = { "Plumbing", "Electrical", "Carpentry", "Painting", "Tiling",
    "Roofing", "General" };
const char *const units[] = { "each", "metre", "square metre", "litre", "box", "length", "kg" };

const Material materials[] = {
    { "PL-CU15", "Copper pipe 15 mm", 9.40, 45, 0, 5 },
    { "PL-CU20", "Copper pipe 20 mm", 13.80, 45, 0, 5 },
    { "PL-PVC50", "PVC waste pipe 50 mm", 11.20, 50, 0, 5 },
    { "PL-ELB15", "Copper elbow 15 mm", 1.85, 80, 0, 0 },
    { "PL-TAP", "Mixer tap, chrome", 64.00, 40, 0, 0 },
    { "PL-WC", "Close-coupled toilet suite", 245.00, 30, 0, 0 },
    { "PL-HWS", "Hot water unit 250 l", 890.00, 25, 0, 0 },
    { "PL-VALVE", "Isolation valve 15 mm", 12.50, 60, 0, 0 },
    { "EL-CAB25", "Twin and earth cable 2.5 mm", 1.95, 55, 1, 1 },
    { "EL-CAB15", "Twin and earth cable 1.5 mm", 1.40, 55, 1, 1 },
    { "EL-GPO", "Double power point", 8.60, 90, 1, 0 },
    { "EL-SW", "Light switch, single", 5.20, 90, 1, 0 },
    { "EL-LED", "LED downlight 10 W", 14.90, 70, 1, 0 },
    { "EL-RCD", "Safety switch 40 A", 58.00, 45, 1, 0 },
    { "EL-SMOKE", "Smoke alarm, mains", 42.00, 50, 1, 0 },
    { "CA-PINE90", "Pine framing 90x45", 6.10, 35, 2, 1 },
    { "CA-PINE70", "Pine framing 70x35", 4.30, 35, 2, 1 },
    { "CA-PLY12", "Plywood sheet 12 mm", 48.00, 30, 2, 0 },
    { "CA-DOOR", "Internal door, hollow core", 72.00, 40, 2, 0 },
    { "CA-HINGE", "Door hinges, pair", 6.80, 75, 2, 0 },
    { "CA-SCREW", "Timber screws 8g, box of 200", 17.50, 50, 2, 4 },
    { "CA-SKIRT", "Skirting board 68 mm", 3.90, 45, 2, 1 },
    { "PA-INT4", "Interior acrylic, 4 l", 58.00, 35, 3, 0 },
    { "PA-EXT4", "Exterior acrylic, 4 l", 69.00, 35, 3, 0 },
    { "PA-PRIME", "Primer sealer, 4 l", 44.00, 35, 3, 0 },
    { "PA-FILL", "Gap filler", 7.50, 60, 3, 0 },
    { "PA-ROLL", "Roller and tray kit", 18.00, 50, 3, 0 },
    { "TI-CER30", "Ceramic floor tile 300x300", 32.00, 40, 4, 2 },
    { "TI-WALL", "Gloss wall tile 200x100", 28.50, 40, 4, 2 },
    { "TI-ADH", "Tile adhesive 20 kg", 24.00, 45, 4, 0 },
    { "TI-GROUT", "Grout 5 kg", 16.50, 50, 4, 0 },
    { "TI-MEMB", "Waterproof membrane, 4 l", 96.00, 35, 4, 0 },
    { "RO-SHEET", "Roof sheet 0.42 mm", 14.20, 35, 5, 1 },
    { "RO-GUTT", "Quad gutter", 11.60, 40, 5, 1 },
    { "RO-DOWN", "Downpipe 90 mm", 19.80, 40, 5, 5 },
    { "RO-FLASH", "Ridge flashing", 21.00, 40, 5, 5 },
    { "RO-SCRW", "Roofing screws, box of 100", 22.00, 50, 5, 4 },
    { "GE-SKIP", "Skip bin, 4 cubic metres", 310.00, 15, 6, 0 },
    { "GE-SIL", "Silicone sealant", 9.90, 60, 6, 0 },
    { "GE-FIX", "Sundry fixings", 12.00, 50, 6, 6 },
};

struct Labour
{
    const char *code;
    const char *description;
    double rate;
    int heading;
};

const Labour labours[] = {
    { "PLUMB", "Licensed plumber", 92.00, 0 },
    { "PLUMBAPP", "Apprentice plumber", 48.00, 0 },
    { "ELEC", "Licensed electrician", 96.00, 1 },
    { "ELECAPP", "Apprentice electrician", 50.00, 1 },
    { "CARP", "Carpenter", 78.00, 2 },
    { "PAINT", "Painter", 68.00, 3 },
    { "TILE", "Tiler", 74.00, 4 },
    { "ROOF", "Roofer", 82.00, 5 },
    { "LABOUR", "General labourer", 45.00, 6 },
    { "CALLOUT", "Call-out and travel", 65.00, 6 },
};

const std::pair<double, const char *> taxRates[] = { { 0, "Exempt" }, { 10, "Goods and services" },
    { 12.5, "Standard rate" }, { 15, "Imported goods" } };
const char *const salesPeople[] = { "Orla Pennick", "Dev Marchetti", "Sunny Okafor",
    "Tamsin Greer" };
const char *const businessTypes[] = { "Plumbing and gas", "Electrical", "Building and renovation",
    "Handyman services" };

const char *const firstNames[] = { "Amelia", "Brodie", "Carys", "Dmitri", "Elspeth", "Fergus",
    "Gwen", "Hamish", "Ines", "Jarrah", "Kirra", "Lachlan", "Maeve", "Niall", "Odette", "Percy",
    "Quinn", "Rosalind", "Saoirse", "Teodor", "Una", "Vaughan", "Wren", "Xavi", "Yusra", "Zeb" };
const char *const lastNames[] = { "Abernethy", "Brightwater", "Calloway", "Dunmore", "Eastwick",
    "Fairbairn", "Gallowglass", "Hollingsworth", "Ingledew", "Jessop", "Kettleby", "Lockhart",
    "Merriweather", "Northcote", "Oakhurst", "Pemberly", "Quarrington", "Rushbrook", "Stalbridge",
    "Thistlewood", "Underhill", "Vellacott", "Whitcombe", "Yarwood" };
const char *const companies[] = { "Bramblegate Property Group", "Cinderford Cafe", "Dunmore & Sons",
    "Eastwick Community Hall", "Foxglove Dental", "Glenroy Body Corporate", "Harbourlight Motel",
    "Ironbark Primary School", "Juniper Lane Florist", "Kestrel Hire", "Larkspur Veterinary Clinic",
    "Millbrook Bowling Club", "Nettlebed Bakery", "Oakhurst Realty", "Pinecrest Childcare" };
const char *const streets[] = { "Kestrel Lane", "Bellbird Road", "Wattle Street", "Harbour Parade",
    "Quarry Road", "Banksia Crescent", "Mill Street", "Ridgeway Avenue", "Orchard Close",
    "Station Street", "Lagoon Drive", "Foundry Lane" };
const std::pair<const char *, const char *> towns[] = { { "Ashcombe", "2571" },
    { "Brennan Flat", "2574" }, { "Calder Ridge", "2580" }, { "Dovecote", "2583" },
    { "Elmswood", "2590" }, { "Farrow Bay", "2592" } };
const char *const quoteWorks[] = { "Bathroom renovation", "Kitchen rewire",
    "Replace hot water unit", "New deck and steps", "Repaint exterior",
    "Gutter and downpipe replacement", "Retile laundry", "Install smoke alarms",
    "Fit internal doors", "Roof leak repair", "Outdoor lighting", "Leaking tap and toilet cistern",
    "Switchboard upgrade", "Shop fit-out" };
const char *const lineNotes[] = { "Colour to be confirmed by the client.",
    "Includes removal of the old fitting.", "Allow for access through the side gate.",
    "Supplied and fitted.", "Price held for 30 days." };

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

template <typename T, std::size_t N> const T &pick(QRandomGenerator &rng, const T (&items)[N])
{
    return items[rng.bounded(int(N))];
}

void set(TQVTable *view, const QString &field, const QVariant &value)
{
    view->fieldByName(field)->setValue(value);
}

double key(TQVTable *view, const QString &field)
{
    return view->fieldByName(field)->asFloat();
}

// Writes the demo business through the data module's views, as the windows would.
class DemoBuilder
{
public:
    explicit DemoBuilder(TDM &dm)
        : m_dm(dm)
        , m_rng(demoSeed)
    { }

    void run()
    {
        referenceData();
        clientList();
        counters();
        const QDate today = QDate::currentDate();
        const char statuses[] = { 'C', 'H', 'I', 'P' };
        for (int i = 0; i < 36; ++i) {
            const char status = i < 4 ? statuses[i] : statuses[m_rng.bounded(4)];
            m_quotes << quote(
                status, i < 9 ? i + 1 : 1 + m_rng.bounded(9), today.addDays(-m_rng.bounded(200)));
        }
        for (int i = 0; i < 24; ++i) {
            const char status = i < 4 ? statuses[i] : statuses[m_rng.bounded(4)];
            const int priority = i < 9 ? 9 - i : 1 + m_rng.bounded(9);
            // Every fourth job was won from a quote and carries the quote's lines.
            job(status, priority, today.addDays(-m_rng.bounded(150)),
                i % 4 == 1 ? m_quotes.at(i) : -1);
        }
        m_dm.WriteSetting(u"Startup"_s, u"StartWiz"_s, u"True"_s);
        m_dm.WriteSettingFlag(u"Options"_s, u"QuoteComplete"_s, false);
        m_dm.WriteSettingFlag(u"Options"_s, u"JobComplete"_s, false);
    }

private:
    double append(TQVTable *view,
        const QString &keyField,
        std::initializer_list<std::pair<QString, QVariant>> values)
    {
        view->insert();
        for (const auto &[field, value] : values)
            set(view, field, value);
        view->post();
        return key(view, keyField);
    }

    void referenceData()
    {
        QList<double> types;
        for (const char *type : businessTypes)
            types << append(
                m_dm.tblBusTypes, u"Business_Type_ID"_s, { { u"Description"_s, text(type) } });
        append(m_dm.tblBusiness, u"Company_ID"_s,
            { { u"Company_Name"_s, u"Harrowfinch Trade Services"_s },
                { u"Address"_s, u"Unit 3, 41 Foundry Lane\r\nAshcombe 2571"_s },
                { u"Phone_No"_s, u"(02) 4870 3315"_s }, { u"Phone_Fax"_s, u"(02) 4870 3316"_s },
                { u"Email_Address"_s, u"office@harrowfinch.example"_s },
                { u"ACN"_s, u"418 207 963"_s }, { u"Business_Type_ID"_s, types.at(2) },
                { u"QuoteFooter"_s,
                    u"<p>Prices are valid for <b>30 days</b> from the date of this quote. "
                    "A deposit of 20% confirms the booking.</p>"_s },
                { u"JobFooter"_s,
                    u"<p>Payment is due within <b>14 days</b> of completion. "
                    "Thank you for your business.</p>"_s } });
        for (const char *heading : headings)
            m_headings << append(
                m_dm.tblHeadings, u"Heading_ID"_s, { { u"Description"_s, text(heading) } });
        for (const char *unit : units)
            m_units << append(
                m_dm.tblUnit, u"Unit_ID"_s, { { u"Unit_Description"_s, text(unit) } });
        for (const Material &material : materials) {
            const double selling =
                std::round(material.cost * (1 + material.markup / 100) * 20) / 20;
            append(m_dm.tblMaterial, u"Material_ID"_s,
                { { u"Material_Code"_s, text(material.code) },
                    { u"Description"_s, text(material.description) },
                    { u"SellingPrice"_s, selling }, { u"CostPrice"_s, material.cost },
                    { u"Unit_ID"_s, m_units.at(material.unit) }, { u"Markup"_s, material.markup },
                    { u"HeadingCode"_s, m_headings.at(material.heading) } });
        }
        for (const Labour &labour : labours) {
            append(m_dm.tblLabour, u"Labour_ID"_s,
                { { u"Labour_Code"_s, text(labour.code) },
                    { u"Description"_s, text(labour.description) },
                    { u"Hourly_Rate"_s, labour.rate },
                    { u"Heading_Code"_s, m_headings.at(labour.heading) } });
        }
        for (const auto &[rate, description] : taxRates)
            append(m_dm.tblTaxRates, u"ID"_s,
                { { u"Tax_Rate"_s, rate }, { u"Description"_s, text(description) } });
        for (const char *name : salesPeople)
            append(m_dm.tblSales, u"ID"_s, { { u"Salesman"_s, text(name) } });
    }

    void clientList()
    {
        for (int i = 0; i < 50; ++i) {
            const QString first = text(pick(m_rng, firstNames));
            const QString last = text(pick(m_rng, lastNames));
            const bool company = i % 3 == 0;
            const QString companyName =
                company ? text(companies[(i / 3) % std::size(companies)]) : QString();
            const auto &[town, zip] = pick(m_rng, towns);
            const QString street =
                u"%1 %2"_s.arg(1 + m_rng.bounded(180)).arg(text(pick(m_rng, streets)));
            const QString mail = u"%1.%2@mail.example"_s.arg(first.toLower(), last.toLower());
            const QString prefix = company ? u"Bus_"_s : u"Hm_"_s;
            auto *clients = m_dm.tblClients;
            clients->insert();
            set(clients, u"Contact"_s, first + u' ' + last);
            set(clients, u"Title"_s, i % 2 ? u"Ms"_s : u"Mr"_s);
            set(clients, u"First"_s, first);
            set(clients, u"Last"_s, last);
            if (company) {
                set(clients, u"Company_Name"_s, companyName);
                set(clients, u"Job_Title"_s, i % 2 ? u"Office manager"_s : u"Owner"_s);
                set(clients, u"Phone_Bus"_s,
                    u"(02) 48%1 %2"_s.arg(10 + m_rng.bounded(90)).arg(1000 + m_rng.bounded(9000)));
                set(clients, u"Phone_BusFax"_s,
                    u"(02) 48%1 %2"_s.arg(10 + m_rng.bounded(90)).arg(1000 + m_rng.bounded(9000)));
            } else {
                set(clients, u"Phone_Home1"_s,
                    u"(02) 47%1 %2"_s.arg(10 + m_rng.bounded(90)).arg(1000 + m_rng.bounded(9000)));
            }
            set(clients, u"Default_Address"_s, company ? u"B"_s : u"H"_s);
            set(clients, prefix + u"Street"_s, street);
            set(clients, prefix + u"City"_s, text(town));
            set(clients, prefix + u"State"_s, u"NSW"_s);
            set(clients, prefix + u"Zip"_s, text(zip));
            set(clients, prefix + u"Address"_s,
                u"%1\r\n%2 NSW %3"_s.arg(street, text(town), text(zip)));
            set(clients, u"Phone_Mobile"_s,
                u"04%1 %2 %3"_s.arg(10 + m_rng.bounded(90))
                    .arg(100 + m_rng.bounded(900))
                    .arg(100 + m_rng.bounded(900)));
            set(clients, u"Default_Email"_s, u"1"_s);
            set(clients, u"Email1"_s, mail);
            if (i % 7 == 0)
                set(clients, u"Notes"_s, u"Prefers a call before the team arrives."_s);
            clients->post();
            m_clients << key(clients, u"Client_ID"_s);
        }
    }

    void counters()
    {
        append(m_dm.tblNextQuote, u"Quote_ID"_s,
            { { u"Quote_ID"_s, 1.0 }, { u"Prefix"_s, u"Q"_s }, { u"NextQuote"_s, 1001.0 },
                { u"Suffix"_s, QString() } });
        append(m_dm.tblNextJob, u"Job_ID"_s,
            { { u"Job_ID"_s, 1.0 }, { u"Prefix"_s, u"J"_s }, { u"NextJob"_s, 501.0 },
                { u"Suffix"_s, QString() } });
    }

    // Header fields both kinds of document have.
    void describe(TQVTable *header,
        const QString &descriptionField,
        char status,
        int priority,
        const QDate &date)
    {
        set(header, u"Client_ID"_s, m_clients.at(m_rng.bounded(int(m_clients.size()))));
        set(header, descriptionField, text(pick(m_rng, quoteWorks)));
        set(header, u"Status"_s, QString(QLatin1Char(status)));
        set(header, u"Priority"_s, double(priority));
        set(header, u"SalesPerson"_s, text(pick(m_rng, salesPeople)));
        header->fieldByName(u"Date"_s)->setAsDate(date);
        header->fieldByName(u"DueDate"_s)->setAsDate(date.addDays(7 + m_rng.bounded(3) * 7));
        header->fieldByName(u"TaxRate"_s)->setAsFloat(taxRates[1 + m_rng.bounded(3)].first);
        if (m_rng.bounded(4) == 0)
            header->fieldByName(u"Discount"_s)->setAsFloat(5.0 * (1 + m_rng.bounded(10)));
        if (m_rng.bounded(3) == 0)
            set(header, u"Notes"_s, u"Key with the neighbour at number 12."_s);
    }

    // Filters the line views to the header, as the main window does when the header changes.
    void showLinesOf(
        TQVTable *header, const QString &numberField, TQVTable *materials, TQVTable *labour)
    {
        const QString number = header->fieldByName(numberField)->asString();
        for (TQVTable *lines : { materials, labour }) {
            lines->setFilter(TDM::documentNumberFilter(numberField, number));
            lines->setFiltered(true);
        }
    }

    void addLines(TQVTable *header, TQVTable *materialLines, TQVTable *labourLines, bool job)
    {
        const int materialCount = 1 + m_rng.bounded(8);
        for (int i = 0; i < materialCount; ++i) {
            const Material &material = pick(m_rng, materials);
            header->edit();
            materialLines->insert();
            m_dm.tblMaterial->findKey({ text(material.code) });
            set(materialLines, u"Material_ID"_s, key(m_dm.tblMaterial, u"Material_ID"_s));
            job ? m_dm.FillJobMaterialLine() : m_dm.FillQuoteMaterialLine();
            if (m_rng.bounded(2))
                materialLines->fieldByName(u"Quantity"_s)
                    ->setAsString(QString::number(1 + m_rng.bounded(12)));
            if (m_rng.bounded(6) == 0) // a price agreed with the client
                materialLines->fieldByName(u"CurrentPrice"_s)
                    ->setAsString(Field::formatNumber(std::round(material.cost * 1.2 * 100) / 100));
            if (m_rng.bounded(5) == 0)
                set(materialLines, u"Notes"_s, text(pick(m_rng, lineNotes)));
            materialLines->post();
        }
        const int labourCount = 1 + m_rng.bounded(3);
        for (int i = 0; i < labourCount; ++i) {
            const Labour &labour = pick(m_rng, labours);
            header->edit();
            labourLines->insert();
            m_dm.tblLabour->findKey({ text(labour.code) });
            set(labourLines, u"Labour_ID"_s, key(m_dm.tblLabour, u"Labour_ID"_s));
            m_dm.FillLabourLine();
            labourLines->fieldByName(u"Hours"_s)
                ->setAsString(Field::formatNumber(0.5 * (1 + m_rng.bounded(16))));
            if (m_rng.bounded(5) == 0)
                set(labourLines, u"Notes"_s, u"Weekend rates do not apply."_s);
            labourLines->post();
        }
    }

    double quote(char status, int priority, const QDate &date)
    {
        TQVTable *header = m_dm.tblQuotes;
        header->insert();
        describe(header, u"QuoteDescription"_s, status, priority, date);
        header->post();
        showLinesOf(header, u"Quote_No"_s, m_dm.tblQuotesMaterial, m_dm.tblQuoteLabour);
        addLines(header, m_dm.tblQuotesMaterial, m_dm.tblQuoteLabour, false);
        return key(header, u"Quote_ID"_s);
    }

    void job(char status, int priority, const QDate &date, double fromQuote)
    {
        TQVTable *header = m_dm.tblJobs;
        if (fromQuote >= 0) {
            m_dm.tblQuotes->findKey({ fromQuote });
            header->insert();
            describe(header, u"JobDescription"_s, status, priority, date);
            set(header, u"JobDescription"_s,
                m_dm.tblQuotes->fieldByName(u"QuoteDescription"_s)->value());
            set(header, u"Client_ID"_s, m_dm.tblQuotes->fieldByName(u"Client_ID"_s)->value());
            set(header, u"PercentComplete"_s, status == 'C' ? 100.0 : 10.0 * m_rng.bounded(10));
            m_dm.CopyQuoteLinesToJob();
            header->post();
            showLinesOf(header, u"Job_No"_s, m_dm.tblJobMaterials, m_dm.tblJobLabour);
            return;
        }
        header->insert();
        describe(header, u"JobDescription"_s, status, priority, date);
        set(header, u"PercentComplete"_s, status == 'C' ? 100.0 : 10.0 * m_rng.bounded(10));
        header->post();
        showLinesOf(header, u"Job_No"_s, m_dm.tblJobMaterials, m_dm.tblJobLabour);
        addLines(header, m_dm.tblJobMaterials, m_dm.tblJobLabour, true);
    }

    TDM &m_dm;
    QRandomGenerator m_rng;
    QList<double> m_headings;
    QList<double> m_units;
    QList<double> m_clients;
    QList<double> m_quotes;
};

// Counts the records of the tables a demo would add to, through a store of its own.
int storedRecords(const QString &directory, const QStringList &tables)
{
    const std::unique_ptr<SqlStore> store = SqlStore::connect(tessorinSchema(), directory);
    int total = 0;
    QSqlQuery query(store->connection());
    query.setForwardOnly(true);
    for (const QString &table : tables) {
        const TableDef *def = tessorinSchema().resolve(table);
        query.prepare(u"SELECT COUNT(*) FROM %1"_s.arg(
            def ? SqlStore::tableRef(*def) : SqlStore::quoted(table)));
        SqlStore::run(query, table);
        if (query.next())
            total += query.value(0).toInt();
        query.finish();
    }
    return total;
}

} // namespace

void fillDemoData(TDM &dm)
{
    // One operation, one transaction: the demo is stored whole or not at all, and the disk
    // syncs once, not for each of the thousand records.
    OperationScope operation(dm.DB, dm.tblClients->fileIndex());
    DemoBuilder(dm).run();
    operation.commit();
}

void fillDemoDirectory(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QDir dir(absolute);
    // A directory that names a server is filled there; any other is made (embedded) when new.
    if (!QFileInfo::exists(dir.filePath(EmbeddedStore::databaseFileName()))
        && !QFileInfo::exists(dir.filePath(ServerConnection::fileName())))
        createDataDirectory(absolute);
    const QStringList filled { u"Quotes.DB"_s, u"Jobs.DB"_s, u"Clients.DB"_s, u"Material.DB"_s,
        u"Labour.db"_s };
    if (storedRecords(absolute, filled) > 0) {
        throw DataToolError(
            u"Refusing to fill %1 with demo data: it already holds quotes, jobs, clients or "
            "price lists"_s.arg(QDir::toNativeSeparators(absolute)));
    }

    // The data module always works on DATA beside its program: a pretend program in a
    // temporary directory whose DATA leads to the directory to fill.
    QTemporaryDir home(QDir::tempPath() + u"/tessorin-demo-XXXXXX"_s);
    if (!home.isValid())
        throw DataToolError(u"Cannot make a temporary directory: %1"_s.arg(home.errorString()));
    if (!QFile::link(absolute, home.filePath(u"DATA"_s)))
        throw DataToolError(
            u"Cannot link %1 from a temporary directory"_s.arg(QDir::toNativeSeparators(absolute)));
    TDM dm;
    QString failure;
    dm.startupFailure = [&failure](const QString &message) { failure = message; };
    dm.requestTermination = [] {};
    dm.DMCreate(home.filePath(u"tessorin"_s));
    if (!dm.isConnected())
        throw DataToolError(failure);
    fillDemoData(dm);
}

int runDemoCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().isEmpty())
        return ExitUsage;
    const QString &path = arguments.first();
    try {
        fillDemoDirectory(path);
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    out << "Filled " << QDir::toNativeSeparators(path) << " with the demo business\n";
    return ExitOk;
}
