#include "store/Statement.h"

#include "store/Query.h"

void startStatement(Query& query)
{
    query.close();
    query.enableParameters();
    query.clearParameters();
    query.clearText();
}

WriteResult changeResult(const Query& query)
{
    return query.changes() > 0 ? WriteResult::Written : WriteResult::NoRowChanged;
}
