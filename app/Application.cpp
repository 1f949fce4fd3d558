#include "app/Application.h"

#include "app/ErrorReport.h"
#include "app/ProgramStyle.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

KelmirApplication::KelmirApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    prepare(*this);
}

void KelmirApplication::prepare(QApplication& application)
{
    identify(application);
    application.setWindowIcon(applicationIcon());
    // The look is the program's own: a dark desktop theme would otherwise
    // put navy titles on dark grey and leave the painted toolbar light.
    auto* style = new ProgramStyle;
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
    // The program is Hungarian only: Qt's own texts (a field's context
    // menu, the buttons of its dialogs) follow it on every locale.
    static QTranslator* qtTexts = nullptr;
    if (!qtTexts) {
        qtTexts = new QTranslator(&application);
        if (qtTexts->load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qtTexts);
    }
}

QIcon KelmirApplication::applicationIcon()
{
    // The desktop's theme may hold another rendering; the program's own is the fallback.
    QIcon own;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        own.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/org.kelmir.Kelmir.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("org.kelmir.Kelmir"), own);
}

void KelmirApplication::identify(QCoreApplication& application)
{
    // The name only: a display name would be appended to every window's
    // caption by the window system ("Információ — Kelmir").
    application.setApplicationName(QStringLiteral("Kelmir"));
}

bool KelmirApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (!m_messages)
            throw;
        reportGeneralError(*m_messages, error);
        return true;
    }
}
