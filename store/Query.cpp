#include "store/Query.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>

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

void Query::open(const QString& text, Values values)
{
    m_lines = QStringList{text};
    m_parameters = boundParameters(values);
    run(true);
}

int Query::execute(const QString& text, Values values)
{
    m_lines = QStringList{text};
    m_parameters = boundParameters(values);
    run(false);
    return m_changes;
}

void Query::close()
{
    if (!m_open && m_result.columns.isEmpty())
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
    m_result.reset();
    m_row = 0;
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

BoundParameter& Query::parameterForBinding(const QString& name, ParamType typeOfValue)
{
    for (auto& parameter : m_parameters) {
        if (parameter.name.compare(name, Qt::CaseInsensitive) == 0)
            return parameter;
    }
    // A parameter written in the text but never declared takes the type of
    // its first value.
    const QRegularExpression marker(u':' + QRegularExpression::escape(name) + QStringLiteral("(?![A-Za-z0-9_])"),
                                    QRegularExpression::CaseInsensitiveOption);
    if (marker.match(text()).hasMatch()) {
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
    const std::vector<BoundParameter>& parameters = m_parameters;
    if (!keepResult) {
        m_changes = m_connection.engine().run(text(), parameters, nullptr);
        return;
    }
    // Filled in place while the query is closed: nothing shows a half-read
    // result, and a failure leaves it closed and empty.
    m_changes = 0;
    auto emptied = qScopeGuard([this] { m_result.reset(); });
    m_connection.engine().run(text(), parameters, &m_result);
    emptied.dismiss();
    if (m_observer)
        m_observer->queryAboutToChange();
    m_row = 0;
    m_open = true;
    if (m_observer)
        m_observer->queryChanged();
}

void Query::first()
{
    m_row = 0;
}

void Query::next()
{
    if (m_row < m_result.rows)
        ++m_row;
}

bool Query::eof() const
{
    return m_row >= m_result.rows;
}

int Query::recNo() const
{
    return m_row < m_result.rows ? m_row + 1 : 0;
}

void Query::setRecNo(int recNo)
{
    if (m_result.rows == 0)
        return;
    m_row = std::clamp(recNo, 1, m_result.rows) - 1;
}

int Query::columnIndex(const QString& name) const
{
    for (int c = 0; c < m_result.columns.size(); ++c) {
        if (m_result.columns[c].compare(name, Qt::CaseInsensitive) == 0)
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
