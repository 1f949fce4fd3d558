#pragma once

#include "model/Error.h"

// The one exception of the data store: the database engine's message, or
// the store's own for a misuse of a query.
class DatabaseError : public Error {
public:
    using Error::Error;
};
