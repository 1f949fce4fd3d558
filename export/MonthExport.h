#pragma once

#include <QString>

// One month of the county to export, and where its files go: under the
// working folder, in excel/ or xml/, named after the county, the month and
// the stamp of the moment the export started.
struct MonthExport {
    quint8 county = 0;
    QString countyName;
    int year = 0;
    int month = 0; // 1..12
    QString monthName;
    QString stamp;
    QString workingFolder;

    // "<folder>/<subfolder>/<county> Megye <month> havi véradásai (<stamp>).<extension>"
    QString filePath(const QString& subfolder, const QString& extension) const;
};
