#pragma once

class Query;

// The opening steps of every statement: the query closed, parameter
// markers on, no parameters declared, an empty text.
void startStatement(Query& query);

// What a write of one row did. An update or delete by id that changes no
// row (another program deleted the row meanwhile) did not happen, and is
// never reported as done.
enum class WriteResult { Written, NoRowChanged };
// The result of the update or delete the query just executed.
WriteResult changeResult(const Query& query);
