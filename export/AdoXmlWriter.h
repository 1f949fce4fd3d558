#pragma once

#include "model/DataTable.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Saves a table (the export table's rows) in the XML persistence format of ADO
// recordsets: an inline schema of the fields (each with its number, its
// type taken from the column, a text field's length the longest of
// its values or 255, and, where the field name is not an XML name, an alias
// c0, c1, …), then one z:row element per row with the
// fields as attributes. UTF-8, always well-formed: a character XML 1.0
// cannot hold (a control character other than tab, line feed and carriage
// return, U+FFFE, U+FFFF, a lone surrogate) is written as U+FFFD.
//
//   const QByteArray xml = AdoXml::document(dm.aq_toExcel);
//   AdoXml::saveFile(xml, "xml/Csongrád Megye ….xml");   // throws ExportError
namespace AdoXml {

// Writes the document for the query's current result. Throws ExportError
// when the device refuses.
void write(QIODevice& out, const DataTable& table);
QByteArray document(const DataTable& table);

// Writes the document under path as ExportFile writes (never through a
// link; an existing regular file replaced only once the new one is whole).
// Throws ExportError.
void saveFile(const QByteArray& document, const QString& path);

} // namespace AdoXml
