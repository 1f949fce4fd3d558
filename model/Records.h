#pragma once

#include <QString>
#include <QtGlobal>

// Editor state of a panel's editor: idle, entering a new row (the save
// inserts), or changing the chosen row (the save updates).
enum class EditModes : quint8 { Idle = 0, New = 1, Change = 2 };

// The three records through which the panels hand data to one another. Plain
// values with public fields; the operations assign straight from their
// arguments and check nothing.

// The organisation's settings, mirroring the one row of at_settings plus the
// county's name (tSettings; CurrentSettings).
struct Settings {
    quint8 megye_kod = 0; // 0: no county chosen
    QString Megye;
    QString Cel;
    QString Forras;
    QString SMTP;
    quint8 Hitelesites = 0; // only 1 counts as switched on
    QString User;
    QString Password;

    Settings() { Clear(); }
    void SetValues(quint8 _megye_kod, const QString& _megye, const QString& _cel, const QString& _forras,
                   const QString& _smtp, quint8 _hitelesites, const QString& _user, const QString& _password);
    void Clear();
};

// One donation location, as chosen in or entered into the locations panel
// (tHelyszinek; CurrentLocation).
struct Location {
    qint32 id = 0; // 0: not stored yet
    quint8 deleted = 0;
    qint32 telepules_kod = 0;
    QString Cim;
    QString Helyszin;

    Location() { Clear(); }
    void SetValues(quint8 _deleted, qint32 _telepules_kod, const QString& _cim, const QString& _helyszin);
    void SetAllValues(qint32 _id, quint8 _deleted, qint32 _telepules_kod, const QString& _cim,
                      const QString& _helyszin);
    void Clear();
};

// One appointment; date and time parts in their stored text forms
// (year digits, two-digit month and day, HH:MM) (tVeradasok; CurrentDonation).
struct Donation {
    qint32 id = 0; // 0: not stored yet
    QString ev;
    QString honap;
    QString nap;
    QString kezdes;
    QString befejezes;
    qint32 helyszin_kod = 0;

    Donation() { Clear(); }
    void SetValues(const QString& _ev, const QString& _honap, const QString& _nap, const QString& _kezdes,
                   const QString& _befejezes, qint32 _helyszin_kod);
    void SetAllValues(qint32 _id, const QString& _ev, const QString& _honap, const QString& _nap,
                      const QString& _kezdes, const QString& _befejezes, qint32 _helyszin_kod);
    void Clear();
};
