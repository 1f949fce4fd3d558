#pragma once

#include <QApplication>

class UserMessages;

// The application object, titled "Kelmir". Every handler of the program runs
// its action through runAction(); this is the last net for anything thrown
// from an event handler outside one.
class KelmirApplication : public QApplication {
public:
    KelmirApplication(int& argc, char** argv);
    // What every application object of the program carries, also the test
    // programs': the name, the icon, the look (the same light colours and
    // controls on every desktop theme) and Qt's own texts in Hungarian,
    // whatever the desktop's language.
    static void prepare(QApplication& application);
    // The program's name, as every application object of it carries it.
    static void identify(QCoreApplication& application);
    // The application's icon, as the windows show it.
    static QIcon applicationIcon();
    void setErrorMessages(UserMessages* messages) { m_messages = messages; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UserMessages* m_messages = nullptr;
};
