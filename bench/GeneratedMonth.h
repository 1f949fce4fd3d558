#pragma once

// The export table of a large month, made as it is read: the rows a query
// result hands over, repeated values held once, the location names made as
// they are read. The workbook and the printable month benchmarks write it.

#include "model/DataTable.h"

#include <QStringList>

class GeneratedMonth final : public DataTable {
public:
    explicit GeneratedMonth(int rows)
        : m_rows(rows)
    {
    }
    QStringList columnNames() const override
    {
        return {"DÁTUM", "IDŐPONT", "MEGYE", "IRSZ", "TELEPÜLÉS", "HELYSZÍN (intézmény neve)", "Cím"};
    }
    ColumnType columnType(int column) const override { return column == 3 ? ColumnType::Integer : ColumnType::Text; }
    int rowCount() const override { return m_rows; }
    QVariant cell(int i, int column) const override
    {
        if (column == 3)
            return qint64(3500 + i % 300);
        return textCell(i, column).toString();
    }
    QStringView textCell(int i, int column) const override
    {
        switch (column) {
        case 0:
            return m_dates[i % 30];
        case 1:
            return m_times[i % 4];
        case 2:
            return m_county;
        case 3:
            return {};
        case 4:
            return m_settlements[i % 393];
        case 5:
            return m_name = m_house + QString::number(i);
        default:
            return m_streets[i % 97];
        }
    }

private:
    static QStringList numbered(const QString& prefix, int count, const QString& suffix = {})
    {
        QStringList texts;
        for (int n = 0; n < count; ++n)
            texts << prefix + QString::number(n) + suffix;
        return texts;
    }
    int m_rows;
    mutable QString m_name; // the last name made; a view of it lasts until the next
    QStringList m_dates = [] {
        QStringList dates;
        for (int d = 1; d <= 30; ++d)
            dates << QStringLiteral("2020.09.%1").arg(d, 2, 10, QChar(u'0'));
        return dates;
    }();
    QStringList m_times = {"07:00-12:30", "08:00-12:30", "09:00-12:30", "10:00-12:30"};
    QString m_county = QStringLiteral("Borsod-Abaúj-Zemplén");
    QStringList m_settlements = numbered(QStringLiteral("Település "), 393);
    QString m_house = QStringLiteral("Művelődési Ház ");
    QStringList m_streets = numbered(QStringLiteral("Fő utca "), 97, QStringLiteral("."));
};
