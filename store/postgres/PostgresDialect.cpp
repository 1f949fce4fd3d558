#include "store/postgres/PostgresDialect.h"

namespace PostgresDialect {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Copies a quoted run (opening quote at i) through its closing quote; a
// doubled quote inside stays part of the run.
qsizetype copyQuoted(const QString& text, qsizetype i, QString& out)
{
    const QChar quote = text[i];
    out += quote;
    for (++i; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                out += text[++i];
                continue;
            }
            return i + 1;
        }
    }
    return i;
}

// The keyword AS ending just before i, standing as a word of its own.
bool followsAs(const QString& out)
{
    qsizetype end = out.size();
    while (end > 0 && out[end - 1].isSpace())
        --end;
    if (end == out.size() || end < 2)
        return false;
    if (out.mid(end - 2, 2).compare(QLatin1String("AS"), Qt::CaseInsensitive) != 0)
        return false;
    return end == 2 || !isNamePart(out[end - 3]);
}

} // namespace

Statement translate(const QString& text)
{
    Statement statement;
    QString out;
    out.reserve(text.size() + 16);
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            i = copyQuoted(text, i, out);
        } else if (c == u'[') {
            const qsizetype close = text.indexOf(u']', i + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            out += u'"' + text.mid(i + 1, end - i - 1).replace(u'"', QStringLiteral("\"\"")) + u'"';
            i = end + 1;
        } else if (c == u':' && i + 1 < text.size() && text[i + 1] == u':') {
            out += QStringLiteral("::"); // a cast
            i += 2;
        } else if (c == u':' && i + 1 < text.size() && isNameStart(text[i + 1])) {
            qsizetype end = i + 1;
            while (end < text.size() && isNamePart(text[end]))
                ++end;
            const QString name = text.mid(i + 1, end - i - 1);
            qsizetype number = statement.parameters.indexOf(name);
            if (number < 0) {
                statement.parameters << name;
                number = statement.parameters.size() - 1;
            }
            out += u'$' + QString::number(number + 1);
            i = end;
        } else if (isNameStart(c) && (i == 0 || !isNamePart(text[i - 1]))) {
            qsizetype end = i;
            while (end < text.size() && isNamePart(text[end]))
                ++end;
            const QString word = text.mid(i, end - i);
            // A type after AS in a cast is followed by ")" or "(": not an alias.
            qsizetype next = end;
            while (next < text.size() && text[next].isSpace())
                ++next;
            const bool inCast = next < text.size() && (text[next] == u')' || text[next] == u'(');
            if (!inCast && followsAs(out))
                out += u'"' + word + u'"';
            else
                out += word;
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    statement.text = out.toUtf8();
    return statement;
}

} // namespace PostgresDialect
