#include "export/MonthExport.h"

#include "export/ExportNames.h"

#include <QDir>

QString MonthExport::filePath(const QString& subfolder, const QString& extension) const
{
    return QDir(workingFolder).filePath(subfolder + u'/' + ExportFileName(countyName, monthName, stamp, extension));
}
