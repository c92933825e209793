#include "registry/RegistryXml.h"

#include "registry/RegistryLimits.h"
#include "registry/RegistryRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <algorithm>

namespace kront
{

namespace
{

class Writer
{
public:
    explicit Writer(QByteArray &out) : xml(&out)
    {
        xml.setAutoFormatting(true);
        xml.setAutoFormattingIndent(2);
    }

    void document(std::span<const RegistryRecord> records)
    {
        xml.writeStartDocument();
        xml.writeNamespace(ns, QStringLiteral("gost"));
        start("application");
        for (const RegistryRecord &r : records)
            result(r);
        xml.writeEndElement();
        xml.writeEndDocument();
    }

private:
    void start(const char *name) { xml.writeStartElement(ns, QLatin1String(name)); }
    void end() { xml.writeEndElement(); }
    void text(const char *name, const QString &value)
    {
        xml.writeTextElement(ns, QLatin1String(name), value);
    }
    void optional(const char *name, const QString &value)
    {
        if (!value.isEmpty())
            text(name, value);
    }
    void flag(const char *name, bool value)
    {
        text(name, value ? QStringLiteral("true") : QStringLiteral("false"));
    }
    QString date(const QDate &d, const QString &zone) const
    {
        return d.toString(Qt::ISODate) + zone;
    }

    void result(const RegistryRecord &r)
    {
        start("result");
        instrument(r);
        text("signCipher", r.signCipher);
        text("miOwner", r.owner);
        text("vrfDate", date(r.vrfDate, r.timeZone));
        if (r.validDate)
            text("validDate", date(*r.validDate, r.timeZone));
        text("type", r.periodic ? QStringLiteral("2") : QStringLiteral("1"));
        flag("calibration", false);
        if (r.fit) {
            start("applicable");
            flag("signPass", r.signPass);
            flag("signMi", r.signMi);
        } else {
            start("inapplicable");
            text("reasons", r.reasons);
        }
        end();
        text("docTitle", r.docTitle);
        optional("metrologist", r.metrologist);
        means(r);
        start("conditions");
        text("temperature", r.temperature);
        text("pressure", r.pressure);
        text("hymidity", r.humidity);
        optional("other", r.otherFactors);
        end();
        end();
    }

    void instrument(const RegistryRecord &r)
    {
        start("miInfo");
        start("singleMI");
        text("mitypeNumber", r.typeNumber);
        text("manufactureNum", r.serialNum);
        if (r.prodYear > 0)
            text("manufactureYear", QString::number(r.prodYear));
        text("modification", r.modification);
        end();
        end();
    }

    void means(const RegistryRecord &r)
    {
        start("means");
        if (!r.referenceNumbers.empty()) {
            start("mieta");
            for (const QString &n : r.referenceNumbers)
                text("number", n);
            end();
        }
        if (!r.instruments.empty()) {
            start("mis");
            for (const RegistryInstrument &i : r.instruments) {
                start("mi");
                text("typeNum", i.typeNumber);
                optional("manufactureNum", i.serialNum);
                end();
            }
            end();
        }
        end();
    }

    const QString ns = QString::fromLatin1(kRegistryNamespace);
    QXmlStreamWriter xml;
};

bool writeFile(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = QStringLiteral("Не удалось записать файл \"%1\"!\n%2").arg(path, file.errorString());
    return false;
}

} // namespace

QByteArray RegistryXml(std::span<const RegistryRecord> records)
{
    QByteArray out;
    Writer(out).document(records);
    return out;
}

QStringList RegistryFileNames(const QString &path, std::size_t recordCount)
{
    QStringList names{path};
    const std::size_t parts =
        std::max<std::size_t>(1, (recordCount + kMaxResultsPerFile - 1) / kMaxResultsPerFile);
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(info.completeBaseName());
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (std::size_t k = 2; k <= parts; ++k)
        names << QStringLiteral("%1-%2%3").arg(stem).arg(k).arg(suffix);
    return names;
}

std::optional<QStringList>
WriteRegistryFiles(const QString &path, const std::vector<RegistryRecord> &records, QString &error)
{
    for (const RegistryRecord &r : records) {
        if (const QString e = RegistryRecordError(r); !e.isEmpty()) {
            error =
                QStringLiteral("Поверка %1, датчик %2: %3").arg(r.poverkaID).arg(r.sensorID).arg(e);
            return std::nullopt;
        }
    }
    const QStringList names = RegistryFileNames(path, records.size());
    const std::span<const RegistryRecord> all(records);
    for (qsizetype k = 0; k < names.size(); ++k) {
        const std::size_t first = std::size_t(k) * kMaxResultsPerFile;
        const std::size_t count = std::min<std::size_t>(kMaxResultsPerFile, all.size() - first);
        if (!writeFile(names[k], RegistryXml(all.subspan(first, count)), error))
            return std::nullopt;
    }
    return names;
}

} // namespace kront
