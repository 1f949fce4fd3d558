#include "store/Statement.h"

#include "model/UserMessages.h"
#include "store/DatabaseError.h"
#include "store/Query.h"

namespace {

template <typename Run>
bool guarded(Query& query, UserMessages& messages, Run run)
{
    try {
        run();
        return true;
    } catch (const DatabaseError& error) {
        query.close();
        messages.show(error.message(), sqlErrorCaption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        return false;
    }
}

} // namespace

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
