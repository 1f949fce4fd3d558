#pragma once

#include "model/DataTable.h"
#include "store/Engine.h"
#include "store/Values.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <vector>

class Connection;

// A named, reusable statement holder, whose last result a grid may show.
// The program states each statement in one call, its text and its named
// values together:
//
//   list.open(Sql::lines({"SELECT … FROM at_helyszinek", "WHERE id=:vid;"}), {{"vid", id}});
//   const int changed = list.execute(text, {{"vcim", address}, {"vid", id}});
//
// Running a statement first closes the query's result: a grid that shows it
// is empty until a select fills it again, so a write run in a list's query
// is followed by the list's select. The data layer's own procedure (close,
// declare, add lines, bind, prepare, execute or open) stays available as
// single steps.
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

class Query final : public DataTable {
public:
    Query(Connection& connection, QString name);
    ~Query() override;
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // One select, its result kept; one write, returning the rows it changed.
    void open(const QString& text, Values values = {});
    int execute(const QString& text, Values values = {});

    void close();
    void enableParameters() { }
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

    // The engine prepares every statement and keeps it for the next run of
    // the same text: these two steps of the procedure have nothing left to
    // change (colon-names are always parameters).
    void prepare() { }
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
    QStringList columnNames() const override { return m_result.columns; }
    ColumnType columnType(int column) const override { return m_result.types[size_t(column)]; }
    int columnIndex(const QString& name) const; // -1 when absent
    Field field(const QString& name) const;
    // Direct access for grid models and writers: row and column 0-based.
    int rowCount() const override { return m_result.rows; }
    QVariant cell(int row, int column) const override { return m_result.value(row, column); }
    // A text cell without a copy; empty for any other cell.
    QStringView textCell(int row, int column) const override { return m_result.textView(row, column); }

    // Rows changed by the last execute.
    int changes() const { return m_changes; }

    void setObserver(QueryObserver* observer) { m_observer = observer; }

private:
    BoundParameter& parameterForBinding(const QString& name, ParamType typeOfValue);
    void run(bool keepResult);
    void discardResult();

    Connection& m_connection;
    QString m_name;
    std::vector<BoundParameter> m_parameters;
    QStringList m_lines;

    bool m_open = false;
    StatementResult m_result;
    int m_row = 0; // 0-based current row; == m_rowCount past the end
    int m_changes = 0;
    QueryObserver* m_observer = nullptr;
};
