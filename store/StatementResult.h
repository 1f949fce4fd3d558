#pragma once

#include "model/DataTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

// Result column names as the program reads them: the alias or plain column
// name, except that a name occurring more than once is qualified with its
// table ("at_veradasok.id"). tableOf(c) gives column c's table name, or an
// empty text for a computed column; it is asked only for repeated names.
QStringList qualifyRepeatedNames(QStringList names, const std::function<QString(int column)>& tableOf);

// One cell of a result, kept compact: a number in place, a text as a span
// of the result's text store. Most cells of a result are never looked at
// (a grid paints a screenful), so no string is made for one until it is
// asked for.
struct ResultCell {
    enum class Kind : quint8 { Null, Integer, Real, Text, Bytes };
    Kind kind = Kind::Null;
    quint32 size = 0; // text in UTF-16 units, bytes in bytes
    union {
        qint64 integer = 0;
        double real;
        qint64 offset; // into text or bytes
    };
};

// What one statement gave: for a select, the whole result (columns named,
// and those that share a name qualified with their table, as
// "at_veradasok.id"); for a write, the number of rows it changed.
struct StatementResult {
    QStringList columns;
    std::vector<ColumnType> types;
    std::vector<ResultCell> cells; // row by row
    QByteArray bytes;              // every binary cell, one after another
    int rows = 0;

    // Empties the result, keeping its storage for the next one unless that
    // has grown large.
    void reset();

    // Filled by an engine row by row, column by column.
    void addNull() { cells.emplace_back(); }
    void addInteger(qint64 value);
    void addReal(double value);
    void addText(const char* utf8, qsizetype size);
    void addBytes(const char* data, qsizetype size);

    // A cell as a value: qint64, double, QString, QByteArray or null.
    QVariant value(int row, int column) const
    {
        const ResultCell& cell = cells[size_t(row) * size_t(columns.size()) + size_t(column)];
        switch (cell.kind) {
        case ResultCell::Kind::Integer:
            return QVariant(cell.integer);
        case ResultCell::Kind::Real:
            return QVariant(cell.real);
        case ResultCell::Kind::Text:
            return QVariant(QString(reinterpret_cast<const QChar*>(m_text.get() + cell.offset), cell.size));
        case ResultCell::Kind::Bytes:
            return QVariant(bytes.mid(cell.offset, cell.size));
        case ResultCell::Kind::Null:
            break;
        }
        return QVariant();
    }
    // A text cell without a copy; empty for any other cell.
    QStringView textView(int row, int column) const
    {
        const ResultCell& cell = cells[size_t(row) * size_t(columns.size()) + size_t(column)];
        return cell.kind == ResultCell::Kind::Text ? QStringView(m_text.get() + cell.offset, cell.size) : QStringView();
    }

private:
    // Every text cell, one after another, in a buffer of its own: grown
    // geometrically, never initialized before it is written.
    std::unique_ptr<char16_t[]> m_text;
    qsizetype m_textSize = 0;
    qsizetype m_textCapacity = 0;
};
