#pragma once

#include "model/Error.h"

// The one exception of the export layer: a file that cannot be written, a
// mail that cannot be sent, with a Hungarian message.
class ExportError : public Error {
public:
    using Error::Error;
};
