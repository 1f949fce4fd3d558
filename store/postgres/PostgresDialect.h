#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's statements are written once, in the embedded engine's
// dialect. What the server reads differently is rewritten on the way:
//
//   :name              ->  $1, $2, ... (one number per distinct name)
//   [name]             ->  "name"
//   AS Name            ->  AS "Name" (the server folds unquoted names to
//                          lower case; a heading keeps its letters; a
//                          type in CAST(x AS type) is left as it is)
//
// Quoted texts and quoted names pass through untouched.
namespace PostgresDialect {

struct Statement {
    QByteArray text;        // UTF-8
    QStringList parameters; // the name behind $1, $2, ...
};

Statement translate(const QString& text);

} // namespace PostgresDialect
