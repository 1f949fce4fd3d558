#include "export/XlsWriter.h"

#include "export/ExportFile.h"
#include "export/xls/ByteWriter.h"
#include "export/xls/CompoundFile.h"
#include "export/xls/Globals.h"
#include "export/xls/SharedStrings.h"
#include "export/xls/Worksheet.h"

#include <QBuffer>
#include <QFileInfo>

namespace {

// The Workbook stream: the globals, then the worksheet, whose place the
// globals' BOUNDSHEET states. The sheet's cells are read first, since the
// globals hold the shared strings they refer to.
class WorkbookStream {
public:
    WorkbookStream(const DataTable& table, const QString& sheetName)
        : m_sheet(table, m_strings)
    {
        xls::ByteWriter globals(m_globals);
        const qsizetype sheetOffsetField = xls::writeGlobals(globals, XlsWriter::sheetName(sheetName), m_strings);
        globals.patchU32(sheetOffsetField, quint32(globals.written()));
    }

    qint64 size() const { return m_globals.size() + m_sheet.size(); }

    void write(QIODevice& out) const
    {
        if (out.write(m_globals) != m_globals.size())
            throw ExportError(QStringLiteral("A munkafüzet nem írható: %1").arg(out.errorString()));
        QByteArray buffer;
        xls::ByteWriter sheet(buffer);
        m_sheet.write(sheet, out);
    }

private:
    xls::SharedStrings m_strings;
    xls::Worksheet m_sheet;
    QByteArray m_globals;
};

} // namespace

namespace XlsWriter {

QString sheetName(const QString& wanted)
{
    QString name = wanted;
    for (QChar& ch : name) {
        if (QStringLiteral(":\\/?*[]").contains(ch) || ch.unicode() < 0x20)
            ch = u'_';
    }
    // 31 characters as the file counts them (UTF-16 units), never half of
    // a pair; Excel refuses an apostrophe at either end.
    auto withoutApostrophes = [](QString text) {
        while (text.startsWith(u'\''))
            text.remove(0, 1);
        while (text.endsWith(u'\''))
            text.chop(1);
        return text;
    };
    name = withoutApostrophes(name);
    if (name.size() > 31)
        name = withoutApostrophes(name.left(name[30].isHighSurrogate() ? 30 : 31));
    return name.trimmed().isEmpty() ? QStringLiteral("Munka1") : name;
}

QByteArray workbookStream(const DataTable& table, const QString& sheetName)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WorkbookStream(table, sheetName).write(buffer);
    return bytes;
}

void write(QIODevice& out, const DataTable& table, const QString& sheetName)
{
    const WorkbookStream stream(table, sheetName);
    xls::writeCompoundFile(out, QStringLiteral("Workbook"), stream.size(),
                           [&stream](QIODevice& device) { stream.write(device); });
}

void writeFile(const QString& path, const DataTable& table, const QString& sheetName)
{
    const QFileInfo where(path);
    ExportFile file(where.absolutePath(), where.fileName());
    try {
        write(file.device(), table, sheetName);
    } catch (const ExportError&) {
        file.throwIfWriteFailed(); // a refused write says why, with the file's name
        throw;
    }
    file.commit();
}

} // namespace XlsWriter
