#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

// The declared kind of a table's column (what a writer must type it as,
// whatever its rows hold); Other for computed columns.
enum class ColumnType { Integer, Real, Text, Other };

// A table of named columns and rows, read cell by cell: what the export's
// writers (the workbook, the XML attachment, the printable month) read,
// whether the rows come from a statement's result or are held in memory.
class DataTable {
public:
    virtual ~DataTable() = default;

    virtual QStringList columnNames() const = 0;
    virtual ColumnType columnType(int column) const = 0;
    virtual int rowCount() const = 0;
    // A cell as a value: an integer (qint64), a double, a text, or null.
    virtual QVariant cell(int row, int column) const = 0;
    // A text cell without a copy; a null view for any other cell.
    virtual QStringView textCell(int row, int column) const = 0;
};

// A table held in memory; a column is typed by its first non-null value.
struct MemoryTable : DataTable {
    QStringList headings;
    QList<QList<QVariant>> rows;

    QStringList columnNames() const override { return headings; }
    ColumnType columnType(int column) const override;
    int rowCount() const override { return int(rows.size()); }
    QVariant cell(int row, int column) const override
    {
        return column < rows[row].size() ? rows[row][column] : QVariant();
    }
    QStringView textCell(int row, int column) const override;
};
