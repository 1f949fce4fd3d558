#include "store/Statement.h"

#include "store/Query.h"

WriteResult insertOrUpdate(Query& list, EditModes mode, const QString& insert, const QString& update, Values values)
{
    if (mode == EditModes::New) {
        list.execute(insert, values);
        return WriteResult::Written;
    }
    return writeResult(list.execute(update, values));
}
