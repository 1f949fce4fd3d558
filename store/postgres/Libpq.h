#pragma once

#include <libpq-fe.h>

// libpq, loaded when the first server connection is made rather than at
// start-up: most workstations keep their data in a file and should not pay
// for the client library and the twenty libraries it pulls in (Kerberos,
// LDAP, ...). The declarations come from libpq-fe.h; the functions are
// looked up in libpq.so.5 once.
namespace libpq {

#define KELMIR_LIBPQ_FUNCTIONS(X)                                                                                      \
    X(PQclear)                                                                                                         \
    X(PQcmdTuples)                                                                                                     \
    X(PQconnectdbParams)                                                                                               \
    X(PQconsumeInput)                                                                                                  \
    X(PQenterPipelineMode)                                                                                             \
    X(PQerrorMessage)                                                                                                  \
    X(PQexitPipelineMode)                                                                                              \
    X(PQfinish)                                                                                                        \
    X(PQfname)                                                                                                         \
    X(PQftable)                                                                                                        \
    X(PQftype)                                                                                                         \
    X(PQgetResult)                                                                                                     \
    X(PQgetisnull)                                                                                                     \
    X(PQgetlength)                                                                                                     \
    X(PQgetvalue)                                                                                                      \
    X(PQisBusy)                                                                                                        \
    X(PQnfields)                                                                                                       \
    X(PQntuples)                                                                                                       \
    X(PQpipelineSync)                                                                                                  \
    X(PQresultErrorField)                                                                                              \
    X(PQresultErrorMessage)                                                                                            \
    X(PQresultStatus)                                                                                                  \
    X(PQsendPrepare)                                                                                                   \
    X(PQsendQuery)                                                                                                     \
    X(PQsendQueryParams)                                                                                               \
    X(PQsendQueryPrepared)                                                                                             \
    X(PQsetNoticeProcessor)                                                                                            \
    X(PQsocket)                                                                                                        \
    X(PQstatus)                                                                                                        \
    X(PQtransactionStatus)

struct Functions {
#define KELMIR_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    KELMIR_LIBPQ_FUNCTIONS(KELMIR_LIBPQ_POINTER)
#undef KELMIR_LIBPQ_POINTER
};

// The loaded library's functions. Throws DatabaseError when libpq.so.5 is
// missing or lacks one of them.
const Functions& functions();

} // namespace libpq
