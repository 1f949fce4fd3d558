#pragma once

struct sqlite3;

// Registers the collation HUNGARIAN on a connection: Á after A, Cs after C,
// as Hungarian readers expect. The sorted text columns are declared with it.
void registerHungarianCollation(sqlite3* db);

inline constexpr const char* hungarianCollationName = "HUNGARIAN";
