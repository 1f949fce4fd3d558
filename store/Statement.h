#pragma once

// What a write of one row did. An update or delete by id that changes no
// row (another program deleted the row meanwhile) did not happen, and is
// never reported as done.
enum class WriteResult { Written, NoRowChanged };

inline WriteResult writeResult(int changedRows)
{
    return changedRows > 0 ? WriteResult::Written : WriteResult::NoRowChanged;
}
