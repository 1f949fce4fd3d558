#include "export/AdoXmlWriter.h"

#include "export/ExportError.h"
#include "export/ExportFile.h"

#include <QBuffer>
#include <QFileInfo>

#include <algorithm>
#include <vector>

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

// Whether XML 1.0 can hold the code point at all (its Char production).
bool isXmlChar(char32_t code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

void appendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// Attribute text for single quotes, code point by code point. Tab, line
// feed and carriage return are written as references, so that attribute
// normalisation does not turn them into blanks.
void appendAttribute(QByteArray& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(code)) {
            code = 0xFFFD; // a lone half of a pair is no character
        }
        switch (code) {
        case U'&':
            out += "&amp;";
            break;
        case U'<':
            out += "&lt;";
            break;
        case U'>':
            out += "&gt;";
            break;
        case U'"':
            out += "&quot;";
            break;
        case U'\'':
            out += "&apos;";
            break;
        case U'\t':
        case U'\n':
        case U'\r':
            out += "&#" + QByteArray::number(quint32(code)) + ';';
            break;
        default:
            appendUtf8(out, isXmlChar(code) ? code : U'\uFFFD');
        }
    }
}

QByteArray attribute(const QString& text)
{
    QByteArray out;
    appendAttribute(out, text);
    return out;
}

void put(QIODevice& out, const QByteArray& bytes)
{
    if (out.write(bytes) != bytes.size())
        throw ExportError(QStringLiteral("Az XML fájl nem írható: %1").arg(out.errorString()));
}

} // namespace

namespace AdoXml {

namespace {

// A text field is declared as long as its longest value needs (in UTF-16
// units, as the format counts), and at least the usual 255.
std::vector<qsizetype> longestTexts(const DataTable& table, int columns)
{
    std::vector<qsizetype> longest(size_t(columns), 255);
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            const QStringView cellText = table.textCell(r, c);
            const qsizetype length = cellText.isNull() ? table.cell(r, c).toString().size() : cellText.size();
            longest[size_t(c)] = std::max(longest[size_t(c)], length);
        }
    }
    return longest;
}

// The inline schema; the names the rows give their fields (an alias where
// the field's name is no XML name).
QStringList writeSchema(QByteArray& text, const DataTable& table)
{
    const QStringList names = table.columnNames();
    const std::vector<qsizetype> longest = longestTexts(table, int(names.size()));
    QStringList attributeNames;
    text += "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
            "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
            "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
            "\txmlns:z='#RowsetSchema'>\n"
            "<s:Schema id='RowsetSchema'>\n"
            "\t<s:ElementType name='row' content='eltOnly'>\n";
    for (int c = 0; c < names.size(); ++c) {
        const bool alias = !isXmlName(names[c]);
        attributeNames << (alias ? QStringLiteral("c%1").arg(c) : names[c]);
        text += "\t\t<s:AttributeType name='" + attribute(attributeNames.back()) + "'";
        if (alias)
            text += " rs:name='" + attribute(names[c]) + "'";
        text += " rs:number='" + QByteArray::number(c + 1)
            + "' rs:nullable='true' rs:maybenull='false' rs:writeunknown='true'>\n";
        if (table.columnType(c) == ColumnType::Integer)
            text += "\t\t\t<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'/>\n";
        else
            text +=
                "\t\t\t<s:datatype dt:type='string' dt:maxLength='" + QByteArray::number(longest[size_t(c)]) + "'/>\n";
        text += "\t\t</s:AttributeType>\n";
    }
    text += "\t\t<s:extends type='rs:rowbase'/>\n"
            "\t</s:ElementType>\n"
            "</s:Schema>\n";
    return attributeNames;
}

void writeRow(QByteArray& text, const DataTable& table, int row, const QList<QByteArray>& encodedNames)
{
    text += "\t<z:row";
    for (int c = 0; c < encodedNames.size(); ++c) {
        const QStringView cellText = table.textCell(row, c);
        QString converted;
        if (cellText.isNull()) {
            const QVariant value = table.cell(row, c);
            if (value.isNull())
                continue; // a null field is left out of its row
            converted = value.toString();
        }
        text += encodedNames[c];
        appendAttribute(text, cellText.isNull() ? QStringView(converted) : cellText);
        text += '\'';
    }
    text += "/>\n";
}

} // namespace

void write(QIODevice& out, const DataTable& table)
{
    QByteArray text;
    QList<QByteArray> encodedNames;
    for (const QString& name : writeSchema(text, table))
        encodedNames << ' ' + attribute(name) + "='";
    text += "<rs:data>\n";
    for (int r = 0; r < table.rowCount(); ++r) {
        writeRow(text, table, r, encodedNames);
        if (text.size() > 64 * 1024) {
            put(out, text);
            text.clear();
        }
    }
    text += "</rs:data>\n</xml>\n";
    put(out, text);
}

QByteArray document(const DataTable& table)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer, table);
    return bytes;
}

void saveFile(const QByteArray& document, const QString& path)
{
    const QFileInfo where(path);
    ExportFile file(where.absolutePath(), where.fileName());
    file.device().write(document);
    file.commit(); // a refused write is reported here, with the file's name and the reason
}

} // namespace AdoXml
