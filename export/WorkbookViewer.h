#pragma once

#include <QString>

// Shows a saved workbook with the desktop's default application. Returns
// false when nothing could be started for it.
class WorkbookViewer {
public:
    virtual ~WorkbookViewer() = default;
    virtual bool show(const QString& filePath) = 0;
};
