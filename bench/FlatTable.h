#pragma once

#include "db/TableSchema.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstring>
#include <functional>
#include <vector>

// The baseline the benchmarks compare the table store with: a table kept the
// way a load-whole-table store keeps it, in one file of fixed-size records
// that every operation reads whole into memory, works on, and (when it
// changed something) writes back whole. Reading the bytes without parsing
// them and writing without a flush makes this a lower bound of such a store.
namespace kront::bench
{

class FlatTable
{
public:
    explicit FlatTable(const TableSchema &schema);

    // Builds the flat file of a table from its table file in the current home.
    static bool exportFrom(const TableSchema &schema, const QString &flatPath);

    bool load(const QString &path);
    bool save(const QString &path) const;

    int rowCount() const { return count; }
    qint32 counter() const { return nextId; }

    // Field access by index; text fields compare as UTF-8 bytes cut to their size.
    bool isNull(int row, int field) const { return rec(row)[offsets[field]] == 0; }
    qint64 integer(int row, int field) const;
    double real(int row, int field) const;
    QByteArray text(int row, int field) const;
    bool textEquals(int row, int field, const QByteArray &value) const;

    void setNull(int row, int field) { rec(row)[offsets[field]] = 0; }
    void setInteger(int row, int field, qint64 v);
    void setReal(int row, int field, double v);
    void setText(int row, int field, const QByteArray &v);

    // Appends a row copied from `templateRow`, gives it the next ID when the
    // table has one, and returns its index.
    int appendCopy(int templateRow);
    // Removes the rows the predicate picks; the number removed.
    int removeIf(const std::function<bool(int row)> &pick);

private:
    char *rec(int row) { return data.data() + qsizetype(row) * recordSize; }
    const char *rec(int row) const { return data.data() + qsizetype(row) * recordSize; }

    const TableSchema &schema;
    std::vector<int> offsets; // of each field's null byte; the value follows it
    int recordSize = 0;
    int count = 0;
    qint32 nextId = 1;
    QByteArray data;
};

} // namespace kront::bench
