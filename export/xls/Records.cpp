#include "export/xls/Records.h"

namespace xls {

bool fitsOneByte(QStringView text)
{
    const char16_t* data = text.utf16();
    char16_t all = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        all |= data[i];
    return all <= 0xFF;
}

} // namespace xls
