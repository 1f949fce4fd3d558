#pragma once

#include "export/ExportError.h"

#include <QByteArray>
#include <QString>

class Query;

// Saves a query's open result in the XML persistence format of ADO
// recordsets: an inline schema of the fields (each with its number, type
// and, where the field name is not an XML name, an alias c0, c1, …), then
// one z:row element per row with the fields as attributes. UTF-8.
//
//   saveAdoXml(dm.aq_toExcel, "xml/Csongrád Megye ….xml");   // throws ExportError
namespace AdoXml {

// The document for the query's current result.
QByteArray document(const Query& query);

// Deletes an existing file of that name, then writes the document.
void save(const Query& query, const QString& path);

} // namespace AdoXml
