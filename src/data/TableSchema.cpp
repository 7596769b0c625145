#include "data/TableSchema.h"

const Schema &tessorinSchema()
{
    static const Schema schema;
    return schema;
}
