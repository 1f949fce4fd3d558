#pragma once

#include "export/WorkbookViewer.h"

// Opens the workbook with the desktop's default application for its type.
class DesktopViewer final : public WorkbookViewer {
public:
    bool show(const QString& filePath) override;
};
