#pragma once

#include "model/Error.h"

// The one exception of the data store: the database engine's message, or
// the store's own for a misuse of a query, with what kind of failure it was
// where a caller must tell the user more than the text.
class DatabaseError : public Error {
public:
    enum class Cause {
        Statement, // the statement failed; nothing of it happened
        Locked,    // another program held the lock longer than the wait allows
        Unanswered // a write reached the server, or may have, but its answer never
                   // came: it may have happened
    };

    explicit DatabaseError(const QString& message, Cause cause = Cause::Statement)
        : Error(message)
        , m_cause(cause)
    {
    }
    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};
