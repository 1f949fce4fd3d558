#pragma once

#include "model/Records.h"
#include "store/Values.h"

class Query;

// What a write of one row did. An update or delete by id that changes no
// row (another program deleted the row meanwhile) did not happen, and is
// never reported as done.
enum class WriteResult { Written, NoRowChanged };

inline WriteResult writeResult(int changedRows)
{
    return changedRows > 0 ? WriteResult::Written : WriteResult::NoRowChanged;
}

// An editor's save of one row in its list's query: the insert (mode New)
// or the update by id (otherwise), with the values of both forms.
WriteResult insertOrUpdate(Query& list, EditModes mode, const QString& insert, const QString& update, Values values);
