#include "model/Records.h"

void Settings::SetValues(quint8 _megye_kod, const QString& _megye, const QString& _cel, const QString& _forras,
                         const QString& _smtp, quint8 _hitelesites, const QString& _user, const QString& _password)
{
    megye_kod = _megye_kod;
    Megye = _megye;
    Cel = _cel;
    Forras = _forras;
    SMTP = _smtp;
    Hitelesites = _hitelesites;
    User = _user;
    Password = _password;
}

void Settings::Clear()
{
    SetValues(0, QString(), QString(), QString(), QString(), 0, QString(), QString());
}

void Location::SetValues(quint8 _deleted, qint32 _telepules_kod, const QString& _cim, const QString& _helyszin)
{
    deleted = _deleted;
    telepules_kod = _telepules_kod;
    Cim = _cim;
    Helyszin = _helyszin;
}

void Location::SetAllValues(qint32 _id, quint8 _deleted, qint32 _telepules_kod, const QString& _cim,
                            const QString& _helyszin)
{
    id = _id;
    SetValues(_deleted, _telepules_kod, _cim, _helyszin);
}

void Location::Clear()
{
    SetAllValues(0, 0, 0, QString(), QString());
}

void Donation::SetValues(const QString& _ev, const QString& _honap, const QString& _nap, const QString& _kezdes,
                         const QString& _befejezes, qint32 _helyszin_kod)
{
    ev = _ev;
    honap = _honap;
    nap = _nap;
    kezdes = _kezdes;
    befejezes = _befejezes;
    helyszin_kod = _helyszin_kod;
}

void Donation::SetAllValues(qint32 _id, const QString& _ev, const QString& _honap, const QString& _nap,
                            const QString& _kezdes, const QString& _befejezes, qint32 _helyszin_kod)
{
    id = _id;
    SetValues(_ev, _honap, _nap, _kezdes, _befejezes, _helyszin_kod);
}

void Donation::Clear()
{
    SetAllValues(0, QString(), QString(), QString(), QString(), QString(), 0);
}
