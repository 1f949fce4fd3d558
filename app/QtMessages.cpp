#include "app/QtMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

UserMessages::Answer QtMessages::show(const QString& text, const QString& caption, Icon icon, Buttons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    // In the order of UserMessages::Icon.
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical,
                                                  QMessageBox::Question};
    box.setIcon(icons[int(icon)]);
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Igen"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Nem"));
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}
