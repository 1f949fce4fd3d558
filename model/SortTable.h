#pragma once

#include <QString>
#include <QStringList>

// The ordering columns of one list and their single direction. The list
// statements end with the line orderByLine() builds from it.
class SortTable {
public:
    explicit SortTable(QStringList startColumns);

    void reset(); // start columns, ascending
    const QStringList& columns() const { return m_columns; }
    void setColumns(const QStringList& columns) { m_columns = columns; }
    bool ascending() const { return m_ascending; }
    void setAscending(bool ascending) { m_ascending = ascending; }

    // "ORDER BY c1 ASC, c2 ASC, … cn ASC;" (DESC throughout when descending).
    QString orderByLine() const;

private:
    QStringList m_startColumns;
    QStringList m_columns;
    bool m_ascending = true;
};

// The start content of the two lists' tables (LocationSortColumns,
// DonationSortColumns): settlement, postcode, address, name; and day, start,
// then the location's columns.
QStringList locationSortStart();
QStringList donationSortStart();
