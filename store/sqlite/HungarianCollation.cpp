#include "store/sqlite/HungarianCollation.h"

#include "store/DatabaseError.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <sqlite3.h>

namespace {

int compareUtf16(void* collator, int lengthA, const void* a, int lengthB, const void* b)
{
    // SQLite hands over native-endian UTF-16 without a terminator; lengths are in bytes.
    const QStringView left(static_cast<const QChar*>(a), lengthA / 2);
    const QStringView right(static_cast<const QChar*>(b), lengthB / 2);
    return static_cast<QCollator*>(collator)->compare(left, right);
}

void destroyCollator(void* collator)
{
    delete static_cast<QCollator*>(collator);
}

} // namespace

void registerHungarianCollation(sqlite3* db)
{
    auto* collator = new QCollator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    const int rc =
        sqlite3_create_collation_v2(db, hungarianCollationName, SQLITE_UTF16, collator, compareUtf16, destroyCollator);
    if (rc != SQLITE_OK) {
        delete collator;
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}
