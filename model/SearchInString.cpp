#include "model/SearchInString.h"

QString CollapseBlanks(const QString& s)
{
    QString r;
    r.reserve(s.size());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] != u' ')
            r.append(s[i]);
        else if (i + 1 < n && s[i + 1] != u' ')
            r.append(u' ');
    }
    return r;
}
