#pragma once

#include <QString>

// Shows a saved file (a workbook, a printable month) with the desktop's
// application for its type. Returns false when no program took it.
class WorkbookViewer {
public:
    virtual ~WorkbookViewer() = default;
    virtual bool show(const QString& filePath) = 0;
};
