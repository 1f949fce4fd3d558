"""Reads an ADO XML recordset file with Python's XML parser and prints JSON:
the fields (alias, real name, number, type, declared length) and the rows by
real field name, and, as a strict reader checks, every value longer than its
field declares (in UTF-16 units)."""
import json
import sys
import xml.etree.ElementTree as ET

S = "{uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882}"
DT = "{uuid:C2F41010-65B3-11d1-A29F-00AA00C14882}"
RS = "{urn:schemas-microsoft-com:rowset}"
Z = "{#RowsetSchema}"

root = ET.parse(sys.argv[1]).getroot()
fields = []
for attribute in root.iter(S + "AttributeType"):
    datatype = attribute.find(S + "datatype")
    fields.append({"alias": attribute.get("name"), "name": attribute.get(RS + "name", attribute.get("name")),
                   "number": int(attribute.get(RS + "number")), "type": datatype.get(DT + "type"),
                   "maxLength": int(datatype.get(DT + "maxLength", "0"))})
names = {f["alias"]: f["name"] for f in fields}
declared = {f["alias"]: f["maxLength"] for f in fields if f["type"] == "string"}
rows, overlong = [], []
for row in root.iter(Z + "row"):
    rows.append({names[key]: value for key, value in row.attrib.items()})
    overlong += [names[key] for key, value in row.attrib.items()
                 if key in declared and len(value.encode("utf-16-le")) // 2 > declared[key]]
print(json.dumps({"tag": root.tag, "fields": fields, "rows": rows, "overlong": overlong}, ensure_ascii=False))
