#pragma once

#include <QString>

// Shortens every run of blanks (code 32 only) to one and drops trailing
// blanks. A leading run becomes one leading blank; callers that want none
// remove it themselves. Tabs and other white space are ordinary characters.
QString CollapseBlanks(const QString& s);
