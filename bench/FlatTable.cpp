#include "bench/FlatTable.h"

#include "db/FieldValue.h"
#include "db/TableFile.h"

#include <QFile>
#include <QSaveFile>

namespace kront::bench
{

namespace
{

struct Header {
    char magic[4] = {'K', 'F', 'L', 'T'};
    qint32 count = 0;
    qint32 nextId = 1;
    qint32 recordSize = 0;
};

int fieldWidth(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: return 4;
    case FieldType::SmallInt: return 2;
    case FieldType::Text: return f.size;
    case FieldType::Float:
    case FieldType::DateTime: return 8; // date-time as milliseconds since the epoch
    case FieldType::Boolean: return 1;
    case FieldType::Memo: return 256;
    }
    return 0;
}

} // namespace

FlatTable::FlatTable(const TableSchema &s) : schema(s)
{
    for (const FieldDef &f : schema.fields) {
        offsets.push_back(recordSize);
        recordSize += 1 + fieldWidth(f);
    }
}

qint64 FlatTable::integer(int row, int field) const
{
    const char *p = rec(row) + offsets[field] + 1;
    switch (schema.fields[field].type) {
    case FieldType::SmallInt: {
        qint16 v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case FieldType::Boolean: return *p != 0;
    default: {
        qint32 v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

double FlatTable::real(int row, int field) const
{
    double v;
    std::memcpy(&v, rec(row) + offsets[field] + 1, 8);
    return v;
}

QByteArray FlatTable::text(int row, int field) const
{
    const char *p = rec(row) + offsets[field] + 1;
    return QByteArray(p, qstrnlen(p, uint(fieldWidth(schema.fields[field]))));
}

bool FlatTable::textEquals(int row, int field, const QByteArray &value) const
{
    const int width = fieldWidth(schema.fields[field]);
    const char *p = rec(row) + offsets[field] + 1;
    const qsizetype n = std::min<qsizetype>(value.size(), width);
    return !isNull(row, field) && std::memcmp(p, value.constData(), n) == 0 &&
           (n == width || p[n] == 0);
}

void FlatTable::setInteger(int row, int field, qint64 v)
{
    char *p = rec(row) + offsets[field];
    *p++ = 1;
    switch (schema.fields[field].type) {
    case FieldType::SmallInt: {
        const qint16 s = qint16(v);
        std::memcpy(p, &s, 2);
        break;
    }
    case FieldType::Boolean: *p = v != 0; break;
    default: {
        const qint32 i = qint32(v);
        std::memcpy(p, &i, 4);
    }
    }
}

void FlatTable::setReal(int row, int field, double v)
{
    char *p = rec(row) + offsets[field];
    *p++ = 1;
    std::memcpy(p, &v, 8);
}

void FlatTable::setText(int row, int field, const QByteArray &v)
{
    const int width = fieldWidth(schema.fields[field]);
    char *p = rec(row) + offsets[field];
    *p++ = 1;
    std::memset(p, 0, width);
    std::memcpy(p, v.constData(), std::min<qsizetype>(v.size(), width));
}

int FlatTable::appendCopy(int templateRow)
{
    data.append(data.constData() + qsizetype(templateRow) * recordSize, recordSize);
    const int row = count++;
    if (schema.hasId())
        setInteger(row, 0, nextId++);
    return row;
}

int FlatTable::removeIf(const std::function<bool(int)> &pick)
{
    int kept = 0;
    for (int row = 0; row < count; ++row) {
        if (pick(row))
            continue;
        if (kept != row)
            std::memmove(rec(kept), rec(row), recordSize);
        ++kept;
    }
    const int removed = count - kept;
    count = kept;
    data.truncate(qsizetype(count) * recordSize);
    return removed;
}

bool FlatTable::load(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    Header h;
    if (f.read(reinterpret_cast<char *>(&h), sizeof h) != sizeof h || h.recordSize != recordSize)
        return false;
    count = h.count;
    nextId = h.nextId;
    data = f.readAll();
    return data.size() == qsizetype(count) * recordSize;
}

bool FlatTable::save(const QString &path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    Header h;
    h.count = count;
    h.nextId = nextId;
    h.recordSize = recordSize;
    f.write(reinterpret_cast<const char *>(&h), sizeof h);
    f.write(data);
    f.setDirectWriteFallback(false);
    return f.commit();
}

bool FlatTable::exportFrom(const TableSchema &schema, const QString &flatPath)
{
    auto file = TableFile::open(schema, TableFile::Mode::Read);
    if (!file)
        return false;
    FlatTable flat(schema);
    QStringList columns;
    for (int i = 0; i < schema.fieldCount(); ++i)
        columns << sqlite::quoteIdentifier(schema.fieldName(i));
    sqlite::Statement st(file->connection(),
                         QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                             .arg(columns.join(u','), sqlite::quoteIdentifier(schema.tableName())));
    QByteArray blank(flat.recordSize, '\0');
    while (st.step()) {
        flat.data.append(blank);
        const int row = flat.count++;
        for (int i = 0; i < schema.fieldCount(); ++i) {
            if (st.isNull(i))
                continue;
            switch (schema.fields[i].type) {
            case FieldType::Float: flat.setReal(row, i, st.real(i)); break;
            case FieldType::DateTime:
                flat.setReal(row, i, double(dateTimeFromStored(st.text(i)).toMSecsSinceEpoch()));
                break;
            case FieldType::Text:
            case FieldType::Memo: flat.setText(row, i, st.text(i).toUtf8()); break;
            default: flat.setInteger(row, i, st.integer(i));
            }
        }
        if (schema.hasId())
            flat.nextId = std::max<qint32>(flat.nextId, qint32(st.integer(0)) + 1);
    }
    return !st.failed() && flat.save(flatPath);
}

} // namespace kront::bench
