#include "store/Statement.h"

#include "model/UserMessages.h"
#include "store/DatabaseError.h"
#include "store/Query.h"

bool guarded(Query& query, UserMessages& messages, const std::function<void()>& steps)
{
    try {
        steps();
        return true;
    } catch (const DatabaseError& error) {
        query.close();
        messages.show(error.message(), sqlErrorCaption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        return false;
    }
}

void startStatement(Query& query)
{
    query.close();
    query.enableParameters();
    query.clearParameters();
    query.clearText();
}

bool executeGuarded(Query& query, UserMessages& messages)
{
    return guarded(query, messages, [&] { query.execute(); });
}

WriteResult executeGuardedChange(Query& query, UserMessages& messages)
{
    if (!executeGuarded(query, messages))
        return WriteResult::Failed;
    return query.changes() > 0 ? WriteResult::Written : WriteResult::NoRowChanged;
}

bool openGuarded(Query& query, UserMessages& messages)
{
    return guarded(query, messages, [&] { query.open(); });
}

QString withClosingFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}
