#pragma once

class Tdm;
struct Base;

// Lays the chosen month's appointments of the county, already formatted,
// into the scratch table at_toExcel, and leaves dm.aq_toExcel open on it
// under the seven Hungarian headings, in day, start, settlement and address
// order. monthItem is the chosen item of the export drop-down (1 and up;
// item k is MonthList entry k - 1); the month becomes the selected one.
// Returns the number of rows. Not guarded: a database error throws and ends
// the export; the next export empties the table first.
int BuildExportTable(Tdm& dm, Base& base, int monthItem);
