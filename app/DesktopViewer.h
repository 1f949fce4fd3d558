#pragma once

#include "export/WorkbookViewer.h"

// Shows a saved file with the desktop's application for its type, through
// the desktop's opener (xdg-open), and tells whether that worked by the
// opener's exit status: xdg-open ends at once when it hands the file on, and
// with a non-zero status when no program takes it. An opener still running
// after the wait runs the viewer itself: it is left to it. The window keeps
// repainting while the opener is waited for.
class DesktopViewer final : public WorkbookViewer {
public:
    explicit DesktopViewer(QString opener = QStringLiteral("xdg-open"), int waitMs = 5000)
        : m_opener(std::move(opener))
        , m_waitMs(waitMs)
    {
    }
    bool show(const QString& filePath) override;

private:
    QString m_opener;
    int m_waitMs;
};
