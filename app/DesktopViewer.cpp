#include "app/DesktopViewer.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopViewer::show(const QString& filePath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}
