#pragma once

#include <QString>

namespace kront::report
{

// A data set whose records the program supplies itself: the report only
// knows how many there are and which one is being printed. A master data
// band bound to it prints once per record; the value callback reads
// recNo() to know which record it is answering for.
class UserDataSet
{
public:
    explicit UserDataSet(const QString &name) : setName(name) {}

    const QString &name() const { return setName; }
    int recordCount() const { return count; }
    void setRecordCount(int n) { count = n < 0 ? 0 : n; }
    int recNo() const { return current; } // from 0
    void setRecNo(int n) { current = n; }

private:
    QString setName;
    int count = 0;
    int current = 0;
};

} // namespace kront::report
