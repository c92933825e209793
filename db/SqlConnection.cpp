#include "db/SqlConnection.h"

namespace kront::sql
{

void Statement::bindAll(const std::vector<Value> &values, int firstIndex)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        bind(firstIndex + int(i), values[i]);
}

bool Statement::step()
{
    return impl && impl->step();
}

bool Statement::run()
{
    while (step()) {
    }
    return !failed();
}

Transaction::Transaction(Connection &c) : conn(c)
{
    active = conn.exec(conn.beginWriteSql());
}

Transaction::~Transaction()
{
    if (active)
        conn.exec(QStringLiteral("ROLLBACK"));
}

bool Transaction::commit()
{
    if (!active)
        return false;
    if (!conn.exec(QStringLiteral("COMMIT")))
        return false; // the destructor rolls back what is left
    active = false;
    return true;
}

QString quoteIdentifier(const QString &name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace kront::sql
