#include "store/Query.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"

#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

QString engineMessage(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

QVariant readColumn(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement, column)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(statement, column)));
    }
    default:
        return QVariant();
    }
}

// Result column names: the alias or plain column name, except that names
// occurring more than once are qualified with their table.
QStringList resultColumnNames(sqlite3_stmt* statement)
{
    const int count = sqlite3_column_count(statement);
    QStringList names;
    QHash<QString, int> occurrences;
    for (int c = 0; c < count; ++c) {
        names << QString::fromUtf8(sqlite3_column_name(statement, c));
        ++occurrences[names.back().toLower()];
    }
    for (int c = 0; c < count; ++c) {
        const char* table = sqlite3_column_table_name(statement, c);
        if (occurrences.value(names[c].toLower()) > 1 && table)
            names[c] = QString::fromUtf8(table) + u'.' + names[c];
    }
    return names;
}

// The column's declared type, by SQLite's rules of type affinity.
ColumnType declaredType(sqlite3_stmt* statement, int column)
{
    const QByteArray declared = QByteArray(sqlite3_column_decltype(statement, column)).toUpper();
    if (declared.isEmpty())
        return ColumnType::Other;
    if (declared.contains("INT"))
        return ColumnType::Integer;
    if (declared.contains("CHAR") || declared.contains("CLOB") || declared.contains("TEXT"))
        return ColumnType::Text;
    if (declared.contains("REAL") || declared.contains("FLOA") || declared.contains("DOUB"))
        return ColumnType::Real;
    return ColumnType::Other;
}

} // namespace

QString Field::valueAsText() const
{
    return m_value.isNull() ? QString() : m_value.toString();
}

qint32 Field::valueAsInteger() const
{
    if (m_value.isNull())
        throw DatabaseError(QStringLiteral("A(z) %1 mező értéke üres, nem alakítható számmá").arg(m_name));
    bool ok = false;
    const qint32 number = m_value.toInt(&ok);
    if (!ok)
        throw DatabaseError(QStringLiteral("A(z) %1 mező értéke nem szám").arg(m_name));
    return number;
}

QString Field::asString() const
{
    return valueAsText();
}

qint32 Field::asInteger() const
{
    return m_value.isNull() ? 0 : m_value.toInt();
}

Query::Query(Connection& connection, QString name)
    : m_connection(connection)
    , m_name(std::move(name))
{
}

Query::~Query() = default;

void Query::close()
{
    if (!m_open && m_columns.isEmpty())
        return;
    if (m_observer)
        m_observer->queryAboutToChange();
    discardResult();
    if (m_observer)
        m_observer->queryChanged();
}

void Query::discardResult()
{
    m_open = false;
    m_columns.clear();
    m_columnTypes.clear();
    m_cells.clear();
    m_rowCount = 0;
    m_row = 0;
}

void Query::enableParameters()
{
    m_parametersEnabled = true;
}

void Query::clearParameters()
{
    m_parameters.clear();
}

void Query::declareParameter(const QString& name, ParamType type)
{
    m_parameters.push_back({name, type, QVariant()});
}

void Query::clearText()
{
    m_lines.clear();
    m_prepared = false;
}

void Query::addLine(const QString& line)
{
    m_lines << line;
}

void Query::addLines(std::initializer_list<const char*> utf8Lines)
{
    for (const char* line : utf8Lines)
        m_lines << QString::fromUtf8(line);
}

Query::Parameter& Query::parameterForBinding(const QString& name, ParamType typeOfValue)
{
    for (auto& parameter : m_parameters) {
        if (parameter.name.compare(name, Qt::CaseInsensitive) == 0)
            return parameter;
    }
    // A parameter written in the text but never declared takes the type of
    // its first value.
    const QRegularExpression marker(u':' + QRegularExpression::escape(name) + QStringLiteral("(?![A-Za-z0-9_])"),
                                    QRegularExpression::CaseInsensitiveOption);
    if (m_parametersEnabled && marker.match(text()).hasMatch()) {
        m_parameters.push_back({name, typeOfValue, QVariant()});
        return m_parameters.back();
    }
    throw DatabaseError(QStringLiteral("A(z) %1 paraméter nem található").arg(name));
}

void Query::bind(const QString& name, qint32 value)
{
    parameterForBinding(name, ParamType::Integer).value = QVariant(qint64(value));
}

void Query::bindByte(const QString& name, quint8 value)
{
    parameterForBinding(name, ParamType::Byte).value = QVariant(qint64(value));
}

void Query::bind(const QString& name, const QString& value)
{
    // A null QString would reach the engine as NULL; bound text is always text.
    parameterForBinding(name, ParamType::Text).value = QVariant(value.isNull() ? QStringLiteral("") : validText(value));
}

QString validText(const QString& text)
{
    // Half of a surrogate pair (pasted from a broken source) is no
    // character: the engine would store another one in its place and take
    // the next character with it. It becomes U+FFFD; nothing else changes.
    QString valid = text;
    const qsizetype n = valid.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = valid[i];
        if (ch.isHighSurrogate() && i + 1 < n && valid[i + 1].isLowSurrogate())
            ++i;
        else if (ch.isSurrogate())
            valid[i] = QChar::ReplacementCharacter;
    }
    return valid;
}

void Query::prepare()
{
    m_prepared = true;
}

void Query::execute()
{
    run(false);
}

void Query::open()
{
    run(true);
}

void Query::run(bool keepResult)
{
    close();
    sqlite3* db = m_connection.handle();
    const auto waitOver = qScopeGuard([this] { m_connection.statementEnded(); });
    const QByteArray sql = text().toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &raw, &tail) != SQLITE_OK)
        throw DatabaseError(engineMessage(db));
    StatementPtr statement(raw);
    if (!statement)
        throw DatabaseError(QStringLiteral("Üres SQL utasítás"));
    if (!QByteArray(tail).trimmed().isEmpty())
        throw DatabaseError(QStringLiteral("Egy lekérdezés csak egy SQL utasítást tartalmazhat"));

    if (m_parametersEnabled) {
        for (const auto& parameter : m_parameters) {
            const QByteArray marker = ':' + parameter.name.toUtf8();
            const int index = sqlite3_bind_parameter_index(statement.get(), marker.constData());
            if (index == 0)
                continue; // declared for another form of the statement
            int rc = SQLITE_OK;
            if (parameter.value.isNull())
                rc = sqlite3_bind_null(statement.get(), index);
            else if (parameter.type == ParamType::Text)
                rc = sqlite3_bind_text16(statement.get(), index, parameter.value.toString().utf16(),
                                         int(parameter.value.toString().size() * 2), SQLITE_TRANSIENT);
            else if (parameter.type == ParamType::Byte)
                rc = sqlite3_bind_int(statement.get(), index, int(quint8(parameter.value.toUInt())));
            else
                rc = sqlite3_bind_int(statement.get(), index, parameter.value.toInt());
            if (rc != SQLITE_OK)
                throw DatabaseError(engineMessage(db));
        }
    }

    QStringList columns = resultColumnNames(statement.get());
    std::vector<ColumnType> types;
    for (int c = 0; c < columns.size(); ++c)
        types.push_back(declaredType(statement.get(), c));
    std::vector<QVariant> cells;
    int rows = 0;
    for (;;) {
        const int rc = sqlite3_step(statement.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw DatabaseError(engineMessage(db));
        if (!keepResult)
            continue;
        for (int c = 0; c < columns.size(); ++c)
            cells.push_back(readColumn(statement.get(), c));
        ++rows;
    }
    m_changes = keepResult ? 0 : sqlite3_changes(db);
    if (keepResult) {
        if (m_observer)
            m_observer->queryAboutToChange();
        m_columns = std::move(columns);
        m_columnTypes = std::move(types);
        m_cells = std::move(cells);
        m_rowCount = rows;
        m_row = 0;
        m_open = true;
        if (m_observer)
            m_observer->queryChanged();
    }
}

void Query::first()
{
    m_row = 0;
}

void Query::next()
{
    if (m_row < m_rowCount)
        ++m_row;
}

bool Query::eof() const
{
    return m_row >= m_rowCount;
}

int Query::recNo() const
{
    return m_row < m_rowCount ? m_row + 1 : 0;
}

void Query::setRecNo(int recNo)
{
    if (m_rowCount == 0)
        return;
    m_row = std::clamp(recNo, 1, m_rowCount) - 1;
}

int Query::columnIndex(const QString& name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

Field Query::field(const QString& name) const
{
    const int column = columnIndex(name);
    if (column < 0) {
        if (!m_open)
            throw DatabaseError(QStringLiteral("A(z) %1 lekérdezés nincs megnyitva").arg(m_name));
        throw DatabaseError(QStringLiteral("A(z) %1 mező nem található").arg(name));
    }
    if (eof())
        return Field(name, QVariant());
    return Field(name, cell(m_row, column));
}
