#pragma once

#include "store/Engine.h"

#include <QString>

#include <initializer_list>
#include <vector>

// The named values of one statement, stated with its text in one call:
//
//   list.execute(Sql::lines({"UPDATE at_helyszinek", "SET deleted=1", "WHERE id=:vid;"}), {{"vid", id}});
//
// A value's type is the type it is given in: a 32-bit integer (ids), an
// unsigned byte (the county, the flags) or a text. A name the text does not
// hold is passed over (a statement's other form needs it).
class Value {
public:
    Value(qint32 value)
        : m_type(ParamType::Integer)
        , m_value(qint64(value))
    {
    }
    Value(quint8 value)
        : m_type(ParamType::Byte)
        , m_value(qint64(value))
    {
    }
    Value(const QString& value); // a null text is bound as an empty one
    Value(const char*) = delete; // a text is a QString: no guessing of encodings

    ParamType type() const { return m_type; }
    const QVariant& value() const { return m_value; }

private:
    ParamType m_type;
    QVariant m_value;
};

struct NamedValue {
    const char* name;
    Value value;
};
using Values = std::initializer_list<NamedValue>;

// The values as the engines take them.
std::vector<BoundParameter> boundParameters(Values values);
