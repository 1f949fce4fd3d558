#pragma once

class Connection;
struct ReferenceData;

// Mends the reference tables of a database written with an earlier list:
// each county's name and each settlement row's county are set to the list,
// settlement rows matched by postcode and name. No row is ever deleted or
// renumbered (locations refer to settlement ids); a postcode-settlement pair
// the database lacks is added under the next free id. Nothing but the two
// reference tables is touched.
struct ReferenceChanges {
    int settlementCounties = 0; // settlement rows moved to another county
    int countyNames = 0;        // counties renamed (or added where missing)
    int settlementsAdded = 0;
    bool any() const { return settlementCounties + countyNames + settlementsAdded > 0; }
};

// In one write transaction, taken with the bounded lock wait of every save.
// A database without the program's tables is refused before anything is
// written. Throws DatabaseError (Cause::Locked when another program held
// the lock too long).
ReferenceChanges updateReferenceData(Connection& connection, const ReferenceData& data);
