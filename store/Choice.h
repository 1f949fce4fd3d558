#pragma once

#include <QList>
#include <QString>

// One entry of a drop-down filled from the database: the row's id and the
// text the drop-down shows for it.
struct Choice {
    qint32 id = 0;
    QString text;
};
using Choices = QList<Choice>;
