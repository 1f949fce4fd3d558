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

} // namespace

QString ExportStampText(const Clock& clock, const QLocale& locale)
{
    const QString time = locale.toString(clock.now().time(), locale.timeFormat(QLocale::LongFormat));
    const QString date = locale.toString(clock.now().date(), locale.dateFormat(QLocale::ShortFormat));
    return fileNameSafe(date + time);
}

QString ExportFileName(const QString& county, const QString& monthName, const QString& stamp,
                       const QString& extension)
{
    return fileNameSafe(county) + QStringLiteral(" Megye ") + monthName + QStringLiteral(" havi véradásai (") + stamp
           + QStringLiteral(").") + extension;
}
