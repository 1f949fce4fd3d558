#pragma once

#include "export/WorkbookViewer.h"
#include "model/Clock.h"

#include <QStringList>

class FixedClock final : public Clock {
public:
    QDateTime fixed = QDateTime(QDate(2016, 3, 15), QTime(10, 30, 0));
    QDateTime now() const override { return fixed; }
};

class RecordingViewer final : public WorkbookViewer {
public:
    QStringList shown;
    bool succeed = true;
    bool show(const QString& filePath) override
    {
        shown << filePath;
        return succeed;
    }
};
