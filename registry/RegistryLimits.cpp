#include "registry/RegistryLimits.h"

#include "registry/RegistryRecord.h"
#include "settings/RegistrySettings.h"

#include <QRegularExpression>

namespace kront
{

namespace
{

struct Limit {
    const char *what;
    const QString &value;
    int max;
    bool required;
};

QString limitError(const Limit &l)
{
    const QString what = QString::fromUtf8(l.what);
    if (l.value.isEmpty())
        return l.required ? QStringLiteral("не заполнено поле \"%1\"").arg(what) : QString();
    if (l.value.size() > l.max)
        return QStringLiteral("поле \"%1\" длиннее %2 символов").arg(what).arg(l.max);
    return {};
}

} // namespace

QString RegistryRecordError(const RegistryRecord &r)
{
    if (const QString e = signCipherError(r.signCipher); !e.isEmpty())
        return e;
    const Limit limits[] = {
        {"номер типа в ГРСИ", r.typeNumber, 32, true},
        {"заводской номер", r.serialNum, 128, true},
        {"модификация", r.modification, 128, true},
        {"владелец СИ", r.owner, kMaxOwnerLength, true},
        {"причины непригодности", r.reasons, 1024, !r.fit},
        {"документ поверки", r.docTitle, 128, true},
        {"поверитель", r.metrologist, kMaxVerifierLength, false},
        {"температура", r.temperature, 128, true},
        {"давление", r.pressure, 128, true},
        {"влажность", r.humidity, 128, true},
        {"другие влияющие факторы", r.otherFactors, 128, false},
    };
    for (const Limit &l : limits) {
        if (const QString e = limitError(l); !e.isEmpty())
            return e;
    }
    if (r.fit && !r.reasons.isEmpty())
        return QStringLiteral("причины непригодности у годного СИ");
    for (const QString &n : r.referenceNumbers) {
        if (const QString e = limitError({"регистрационный номер эталона", n, 32, true});
            !e.isEmpty())
            return e;
    }
    for (const RegistryInstrument &i : r.instruments) {
        if (const QString e = limitError({"номер типа СИ в ГРСИ", i.typeNumber, 32, true});
            !e.isEmpty())
            return e;
        if (const QString e = limitError({"заводской номер СИ", i.serialNum, 128, false});
            !e.isEmpty())
            return e;
    }
    if (r.referenceNumbers.empty() && r.instruments.empty())
        return QStringLiteral("не заданы средства поверки");
    if (!r.vrfDate.isValid())
        return QStringLiteral("не задана дата поверки");
    if (r.validDate && (!r.fit || *r.validDate <= r.vrfDate))
        return QStringLiteral("неверная дата \"Поверка действительна до\"");
    static const QRegularExpression zone(QStringLiteral("^[+-](0[0-9]|1[0-4]):[0-5][0-9]$"));
    if (!r.timeZone.isEmpty() && !zone.match(r.timeZone).hasMatch())
        return QStringLiteral("неверный часовой пояс");
    return {};
}

} // namespace kront
