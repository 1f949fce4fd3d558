#include "export/ExportNames.h"

#include "model/Clock.h"

#include <QLocale>

namespace {

QString fileNameSafe(QString text)
{
    for (QChar& ch : text) {
        if (ch == u':' || ch == u'/' || ch == u'\\')
            ch = u'.';
        else if (QStringLiteral("<>\"|?*").contains(ch) || ch.unicode() < 0x20)
            ch = u'_';
    }
    return text;
}

// A time format without its time-zone field ("t", "tt", …) and the blank
// before it: the stamp holds hours, minutes and seconds, never a zone name.
QString withoutTimeZone(const QString& format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch == u'\'')
            quoted = !quoted;
        if (!quoted && ch == u't') {
            while (!result.isEmpty() && result.back() == u' ')
                result.chop(1);
            continue;
        }
        result += ch;
    }
    return result.trimmed();
}

} // namespace

QString ExportStampText(const Clock& clock)
{
    // The program is Hungarian on every desktop: so is its stamp.
    static const QLocale locale(QLocale::Hungarian, QLocale::Hungary);
    const QString time = locale.toString(clock.now().time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    const QString date = locale.toString(clock.now().date(), locale.dateFormat(QLocale::ShortFormat));
    return fileNameSafe(date + time);
}

QString ExportFileName(const QString& county, const QString& monthName, const QString& stamp, const QString& extension)
{
    return fileNameSafe(county) + QStringLiteral(" Megye ") + monthName + QStringLiteral(" havi véradásai (") + stamp
        + QStringLiteral(").") + extension;
}
