#include "model/IsolatedText.h"

namespace {

bool mayTurnItsSurroundings(QChar::Direction direction)
{
    switch (direction) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirPDF:
    case QChar::DirRLI:
    case QChar::DirLRI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        return false;
    }
}

} // namespace

QString isolated(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t code = text[i].isHighSurrogate() && i + 1 < text.size()
            ? QChar::surrogateToUcs4(text[i], text[i + 1])
            : text[i].unicode();
        if (mayTurnItsSurroundings(QChar::direction(code)))
            return QChar(0x2068) + text + QChar(0x2069);
        if (code > 0xFFFF)
            ++i;
    }
    return text;
}
