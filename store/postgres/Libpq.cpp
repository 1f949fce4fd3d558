#include "store/postgres/Libpq.h"

#include "store/DatabaseError.h"

#include <dlfcn.h>

namespace libpq {

namespace {

Functions load()
{
    // Never closed: the connections keep using it until the program ends.
    void* library = ::dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw DatabaseError(QStringLiteral("A PostgreSQL ügyfélkönyvtára (libpq.so.5) nem tölthető be: %1")
                                .arg(QString::fromLocal8Bit(::dlerror())));
    Functions loaded;
#define KELMIR_LIBPQ_LOOKUP(name)                                                                                      \
    loaded.name = reinterpret_cast<decltype(loaded.name)>(::dlsym(library, #name));                                    \
    if (!loaded.name)                                                                                                  \
        throw DatabaseError(QStringLiteral("A PostgreSQL ügyfélkönyvtárából hiányzik: %1").arg(QLatin1String(#name)));
    KELMIR_LIBPQ_FUNCTIONS(KELMIR_LIBPQ_LOOKUP)
#undef KELMIR_LIBPQ_LOOKUP
    return loaded;
}

} // namespace

const Functions& functions()
{
    static const Functions loaded = load(); // a failed load is tried again on the next call
    return loaded;
}

} // namespace libpq
