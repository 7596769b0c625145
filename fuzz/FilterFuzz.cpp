// Fuzz target: filter expressions ("Status<>'C' AND Priority < 3") parsed against a table with a
// field of every type. Malformed text must be refused with EDatabaseError or EConvertError, never
// crash or hang.

#include "engine/Exception.h"
#include "engine/FilterExpression.h"

#include <cstdint>
#include <cstdlib>

namespace {

TableDef fuzzTable()
{
    TableDef def;
    def.fileName = QStringLiteral("Fuzz.DB");
    def.fields = {
        { QStringLiteral("Quote_No"), FieldType::Alpha, 10 },
        { QStringLiteral("Status"), FieldType::Alpha, 1 },
        { QStringLiteral("Priority"), FieldType::Number, 0 },
        { QStringLiteral("QuoteTotal"), FieldType::Money, 0 },
        { QStringLiteral("Discount"), FieldType::NumberMoney, 0 },
        { QStringLiteral("Date"), FieldType::Date, 0 },
        { QStringLiteral("Notes"), FieldType::Memo, 0 },
        { QStringLiteral("Logo"), FieldType::Graphic, 0 },
    };
    def.primaryKey = { QStringLiteral("Quote_No") };
    return def;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TableDef def = fuzzTable();
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const FilterExpression expression = FilterExpression::parse(text, def);
        // Every value of a parsed expression is bound to a placeholder of its condition.
        if (expression.sql().count(u'?') != expression.values().size())
            std::abort();
    } catch (const Exception &) {
    }
    return 0;
}
