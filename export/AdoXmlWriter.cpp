#include "export/AdoXmlWriter.h"

#include "store/Query.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool isXmlName(const QString& name)
{
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_'))
        return false;
    for (const QChar ch : name) {
        if (!(ch.isLetterOrNumber() || ch == u'_' || ch == u'-' || ch == u'.'))
            return false;
    }
    return true;
}

// Attribute text in single quotes, with every character XML would not take
// as it is written as a character reference.
QByteArray attribute(const QString& text)
{
    QByteArray out;
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'&':
            out += "&amp;";
            break;
        case u'<':
            out += "&lt;";
            break;
        case u'>':
            out += "&gt;";
            break;
        case u'"':
            out += "&quot;";
            break;
        case u'\'':
            out += "&apos;";
            break;
        default:
            if (ch.unicode() < 0x20)
                out += "&#" + QByteArray::number(ch.unicode()) + ';';
            else
                out += QString(ch).toUtf8();
        }
    }
    return out;
}

bool isIntegerColumn(const Query& query, int column)
{
    for (int r = 0; r < query.recordCount(); ++r) {
        const QVariant& value = query.cell(r, column);
        if (value.isNull())
            continue;
        return value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int;
    }
    return false;
}

} // namespace

namespace AdoXml {

QByteArray document(const Query& query)
{
    const QStringList names = query.columnNames();
    QStringList attributeNames;
    QByteArray out = "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
                     "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
                     "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
                     "\txmlns:z='#RowsetSchema'>\n"
                     "<s:Schema id='RowsetSchema'>\n"
                     "\t<s:ElementType name='row' content='eltOnly'>\n";
    for (int c = 0; c < names.size(); ++c) {
        const bool alias = !isXmlName(names[c]);
        attributeNames << (alias ? QStringLiteral("c%1").arg(c) : names[c]);
        out += "\t\t<s:AttributeType name='" + attribute(attributeNames.back()) + "'";
        if (alias)
            out += " rs:name='" + attribute(names[c]) + "'";
        out += " rs:number='" + QByteArray::number(c + 1) + "' rs:nullable='true' rs:maybenull='false' "
                                                              "rs:writeunknown='true'>\n";
        if (isIntegerColumn(query, c))
            out += "\t\t\t<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'/>\n";
        else
            out += "\t\t\t<s:datatype dt:type='string' dt:maxLength='255'/>\n";
        out += "\t\t</s:AttributeType>\n";
    }
    out += "\t\t<s:extends type='rs:rowbase'/>\n"
           "\t</s:ElementType>\n"
           "</s:Schema>\n"
           "<rs:data>\n";
    for (int r = 0; r < query.recordCount(); ++r) {
        out += "\t<z:row";
        for (int c = 0; c < names.size(); ++c) {
            const QVariant& value = query.cell(r, c);
            if (value.isNull())
                continue; // a null field is left out of its row
            out += ' ' + attribute(attributeNames[c]) + "='" + attribute(value.toString()) + "'";
        }
        out += "/>\n";
    }
    out += "</rs:data>\n</xml>\n";
    return out;
}

void save(const Query& query, const QString& path)
{
    if (QFile::exists(path) && !QFile::remove(path))
        throw ExportError(QStringLiteral("A(z) %1 fájl nem törölhető.").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ExportError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2").arg(path, file.errorString()));
    const QByteArray bytes = document(query);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ExportError(QStringLiteral("A(z) %1 fájl nem menthető: %2").arg(path, file.errorString()));
}

} // namespace AdoXml
