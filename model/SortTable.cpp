#include "model/SortTable.h"

#include <utility>

SortTable::SortTable(QStringList startColumns)
    : m_startColumns(std::move(startColumns))
{
    reset();
}

void SortTable::reset()
{
    m_columns = m_startColumns;
    m_ascending = true;
}

QString SortTable::orderByLine() const
{
    const QString separator = m_ascending ? QStringLiteral(" ASC, ") : QStringLiteral(" DESC, ");
    const QString terminator = m_ascending ? QStringLiteral(" ASC;") : QStringLiteral(" DESC;");
    return QStringLiteral("ORDER BY ") + m_columns.join(separator) + terminator;
}

QStringList locationSortStart()
{
    return {QStringLiteral("at_telepulesek.telepules"), QStringLiteral("at_telepulesek.irsz"),
            QStringLiteral("at_helyszinek.cim"), QStringLiteral("at_helyszinek.helyszin")};
}

QStringList donationSortStart()
{
    return {QStringLiteral("at_veradasok.nap"),         QStringLiteral("at_veradasok.kezdes"),
            QStringLiteral("at_telepulesek.telepules"), QStringLiteral("at_telepulesek.irsz"),
            QStringLiteral("at_helyszinek.cim"),        QStringLiteral("at_helyszinek.helyszin")};
}
