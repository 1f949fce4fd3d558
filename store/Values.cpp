#include "store/Values.h"

#include "store/Query.h"

Value::Value(const QString& value)
    : m_type(ParamType::Text)
    , m_value(value.isNull() ? QStringLiteral("") : validText(value))
{
}

std::vector<BoundParameter> boundParameters(Values values)
{
    std::vector<BoundParameter> parameters;
    parameters.reserve(values.size());
    for (const NamedValue& named : values)
        parameters.push_back({QString::fromLatin1(named.name), named.value.type(), named.value.value()});
    return parameters;
}
