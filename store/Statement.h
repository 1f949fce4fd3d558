#pragma once

#include <QString>

#include <functional>

class Query;
class UserMessages;

// Steps 1 and 2 of every statement, and an empty text: the query closed,
// parameter markers on, no parameters declared.
void startStatement(Query& query);

// Guarded statements: a database failure shows the engine's text in the box
// "Hiba az SQL script futásakor!" (warning icon, OK) and the call returns
// false; a failed select leaves the query closed, so its grid shows no rows.
bool executeGuarded(Query& query, UserMessages& messages);
// Runs several steps as one guarded action: the first database failure is
// shown, the query closed, and false returned.
bool guarded(Query& query, UserMessages& messages, const std::function<void()>& steps);
bool openGuarded(Query& query, UserMessages& messages);

// What a guarded write of one chosen row did. An update or delete by id
// that changes no row (another program deleted the row meanwhile) did not
// happen, and is never reported as done.
enum class WriteResult { Written, Failed, NoRowChanged };
WriteResult executeGuardedChange(Query& query, UserMessages& messages);

inline const QString sqlErrorCaption = QStringLiteral("Hiba az SQL script futásakor!");

// The text of the general error report: a closing full stop is added when the
// last character's code is above that of the full stop (letters, digits),
// never after ".", ",", "-", ")", "!" or a blank.
QString withClosingFullStop(const QString& text);
