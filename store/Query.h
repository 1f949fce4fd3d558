#pragma once

#include "store/Engine.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <vector>

class Connection;

// A named, reusable statement holder. Every statement runs by one sequence:
//
//   q.close();
//   q.enableParameters(); q.clearParameters();
//   q.declareParameter("vcim", ParamType::Text);
//   q.clearText(); q.addLine("UPDATE at_helyszinek SET cim=:vcim"); q.addLine("WHERE id=1;");
//   q.bind("vcim", text);
//   q.prepare();
//   q.execute();   // or q.open() for a select
//
// A select keeps its whole result in memory (a static result) with a record
// count and 1-based record numbers. Result columns that share a name are
// qualified with their table ("at_veradasok.id"). Every failure throws
// DatabaseError with the engine's message.

class Query;

// Text as the engine can store it: a lone half of a surrogate pair becomes
// U+FFFD. Every bound text passes through it.
QString validText(const QString& text);

// Told before and after a query's result is replaced or closed, so that a
// grid showing it can reset itself around the change.
class QueryObserver {
public:
    virtual ~QueryObserver() = default;
    virtual void queryAboutToChange() = 0;
    virtual void queryChanged() = 0;
};

// The current row's value of one result column, read in one of three ways.
class Field {
public:
    bool isNull() const { return m_value.isNull(); }
    // The value converted: null gives empty text / is an error for an integer.
    QString valueAsText() const;
    qint32 valueAsInteger() const;
    // Text (null gives empty text) and integer (null gives 0).
    QString asString() const;
    qint32 asInteger() const;

private:
    friend class Query;
    Field(QString name, QVariant value)
        : m_name(std::move(name))
        , m_value(std::move(value))
    {
    }
    QString m_name;
    QVariant m_value;
};

class Query {
public:
    Query(Connection& connection, QString name);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void close();
    void enableParameters();
    void clearParameters();
    void declareParameter(const QString& name, ParamType type);
    void clearText();
    void addLine(const QString& line);
    void addLines(std::initializer_list<const char*> utf8Lines);
    QString text() const { return m_lines.join(u'\n'); }

    // Binding uses the bare name; it must name a declared parameter or one
    // written in the text.
    void bind(const QString& name, qint32 value);
    void bindByte(const QString& name, quint8 value);
    void bind(const QString& name, const QString& value);

    void prepare();
    void execute();
    void open();

    bool isOpen() const { return m_open; }
    void first();
    void next();
    bool eof() const;
    int recordCount() const { return m_result.rows; }
    int recNo() const; // 1-based; 0 when there is no current row
    void setRecNo(int recNo);

    int columnCount() const { return int(m_result.columns.size()); }
    const QStringList& columnNames() const { return m_result.columns; }
    ColumnType columnType(int column) const { return m_result.types[size_t(column)]; }
    int columnIndex(const QString& name) const; // -1 when absent
    Field field(const QString& name) const;
    // Direct access for grid models and writers: row and column 0-based.
    QVariant cell(int row, int column) const { return m_result.value(row, column); }
    // A text cell without a copy; empty for any other cell.
    QStringView textCell(int row, int column) const { return m_result.textView(row, column); }

    // Rows changed by the last execute.
    int changes() const { return m_changes; }

    void setObserver(QueryObserver* observer) { m_observer = observer; }

private:
    BoundParameter& parameterForBinding(const QString& name, ParamType typeOfValue);
    void run(bool keepResult);
    void discardResult();

    Connection& m_connection;
    QString m_name;
    bool m_parametersEnabled = true;
    std::vector<BoundParameter> m_parameters;
    QStringList m_lines;
    bool m_prepared = false;

    bool m_open = false;
    StatementResult m_result;
    int m_row = 0; // 0-based current row; == m_rowCount past the end
    int m_changes = 0;
    QueryObserver* m_observer = nullptr;
};
