#include "db/DocumentColumnSizes.h"

#include "db/TableSchema.h"

namespace kront
{

namespace
{
int documentsColumnSize(QStringView column)
{
    return tables::Documents.fields[size_t(tables::Documents.fieldIndex(column))].size;
}
} // namespace

int organNameMaxLength()
{
    return documentsColumnSize(u"MetrologyOrganName") - 2; // the quotes
}

int rukDolgnostMaxLength()
{
    return documentsColumnSize(u"DolgRuk");
}

} // namespace kront
