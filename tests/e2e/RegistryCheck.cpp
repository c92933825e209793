#include "RegistryCheck.h"

#include "common/AppHome.h"
#include "common/UnattendedDialogs.h"
#include "db/Database.h"
#include "registry/RegistryData.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace kront::e2e
{

namespace
{

class SilentDialogs : public UnattendedDialogs
{
public:
    QStringList errors;

protected:
    void note(Icon icon, const QString &text) override
    {
        if (icon == Icon::Error)
            errors << text;
    }
};

QStringList words(const QString &value)
{
    return value.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The EtalSens ID of the reference with this serial number; 0 when none.
int referenceID(Database &db, const QString &serial)
{
    const auto rows = db.select(tables::EtalSens, QStringLiteral("SerialNum = '%1'").arg(serial),
                                QStringLiteral("ID"));
    return rows && !rows->empty() ? rows->back().value(QStringLiteral("ID")).toInt() : 0;
}

// Fills the registry data from the scenario's lines; the problem, else empty.
QString applyRegistryData(const Scenario &sc, Database &db, SilentDialogs &dialogs)
{
    RegistryData d;
    d.settings.timeZoneOffsetMinutes = 180;
    for (const auto &[key, value] : sc.registry) {
        const QStringList w = words(value);
        if (key == u"cipher")
            d.settings.signCipher = value;
        else if (key == u"verifier")
            d.settings.defaultVerifier = value;
        else if (key == u"owner")
            d.settings.defaultOwner = value;
        else if (key == u"time_zone")
            d.settings.timeZoneOffsetMinutes = value.toInt();
        else if (key == u"type" && w.size() == 3) // TypeName number interval
            d.sensorTypes.push_back({w[0], w[1], QString(), w[2].toInt()});
        else if (key == u"mieta" && w.size() == 2) // reference serial, its number
            d.means.references.push_back({referenceID(db, w[0]), w[1]});
        else if (key == u"instrument" && w.size() == 2) // type number, serial
            d.means.instruments.push_back({QStringLiteral("СИ"), w[0], w[1]});
        else
            return QStringLiteral("bad [registry] line %1 = %2").arg(key, value);
    }
    // Into the settings file of the program, which kront-cli reads (the harness has its own).
    const QString ini = AppHome::configFile(QStringLiteral("kront.INI"));
    if (!saveRegistrySettings(d.settings, dialogs, ini) ||
        !SaveSensorTypes(db, dialogs, d.sensorTypes) ||
        !SaveInstallationMeans(db, dialogs, d.means))
        return QStringLiteral("registry data not stored: ") + dialogs.errors.join(u' ');
    return {};
}

} // namespace

QString checkRegistryExport(const Scenario &sc, Database &db, int poverkaID, int results,
                            int skipped, int unfit)
{
    SilentDialogs dialogs;
    if (const QString why = applyRegistryData(sc, db, dialogs); !why.isEmpty())
        return why;
    const QString bin = QCoreApplication::applicationDirPath();
    const QString out = AppHome::dir() + QStringLiteral("/registry.xml");
    QFile::remove(out);
    QProcess cli;
    cli.start(bin + QStringLiteral("/kront-cli"),
              {QStringLiteral("--home"), AppHome::dir(), QStringLiteral("registry-export"),
               QStringLiteral("--id"), QString::number(poverkaID), QStringLiteral("--out"), out});
    if (!cli.waitForFinished(60000))
        return QStringLiteral("kront-cli did not finish");
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    const int wantStatus = skipped == 0 ? 0 : 1;
    if (cli.exitCode() != wantStatus)
        return QStringLiteral("exit status %1: %2").arg(cli.exitCode()).arg(err);
    if (int(err.count(QStringLiteral("Пропущен ТП"))) != skipped)
        return QStringLiteral("skipped: ") + err;
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("no file written");
    const QByteArray xml = file.readAll();
    if (int(xml.count("<gost:result>")) != results ||
        int(xml.count("<gost:inapplicable>")) != unfit)
        return QStringLiteral("file holds %1 results, %2 unfit")
            .arg(xml.count("<gost:result>"))
            .arg(xml.count("<gost:inapplicable>"));
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"),
                                           QStringLiteral(KRONT_REGISTRY_XSD), out});
    if (!lint.waitForFinished(60000) || lint.exitCode() != 0)
        return QStringLiteral("does not validate: ") +
               QString::fromUtf8(lint.readAllStandardError());
    return {};
}

} // namespace kront::e2e
