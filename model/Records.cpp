#include "model/Records.h"

#include <tuple>

void Settings::SetValues(quint8 _megye_kod, const QString& _megye, const QString& _cel, const QString& _forras,
                         const QString& _smtp, quint8 _hitelesites, const QString& _user, const QString& _password)
{
    std::tie(megye_kod, Megye, Cel, Forras, SMTP, Hitelesites, User, Password) =
        std::tie(_megye_kod, _megye, _cel, _forras, _smtp, _hitelesites, _user, _password);
}

void Settings::Clear()
{
    SetValues(0, QString(), QString(), QString(), QString(), 0, QString(), QString());
}

void Location::SetValues(quint8 _deleted, qint32 _telepules_kod, const QString& _cim, const QString& _helyszin)
{
    std::tie(deleted, telepules_kod, Cim, Helyszin) = std::tie(_deleted, _telepules_kod, _cim, _helyszin);
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
    std::tie(ev, honap, nap, kezdes, befejezes, helyszin_kod) =
        std::tie(_ev, _honap, _nap, _kezdes, _befejezes, _helyszin_kod);
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
