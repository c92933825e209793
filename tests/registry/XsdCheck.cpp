#include "tests/registry/XsdCheck.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstdarg>
#include <memory>

namespace kront::test
{
namespace
{

void collect(void *ctx, const char *format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *static_cast<QString *>(ctx) += QString::fromUtf8(buffer);
}

} // namespace

QString RegistryXsdErrors(const QByteArray &xml)
{
    QString errors;
    std::unique_ptr<xmlSchemaParserCtxt, decltype(&xmlSchemaFreeParserCtxt)> parser(
        xmlSchemaNewParserCtxt(KRONT_REGISTRY_XSD), xmlSchemaFreeParserCtxt);
    xmlSchemaSetParserErrors(parser.get(), collect, collect, &errors);
    std::unique_ptr<xmlSchema, decltype(&xmlSchemaFree)> schema(xmlSchemaParse(parser.get()),
                                                                xmlSchemaFree);
    if (!schema)
        return QStringLiteral("schema does not parse: ") + errors;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        xmlReadMemory(xml.constData(), int(xml.size()), "export.xml", nullptr, XML_PARSE_NONET),
        xmlFreeDoc);
    if (!doc)
        return QStringLiteral("not well-formed XML");
    std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> valid(
        xmlSchemaNewValidCtxt(schema.get()), xmlSchemaFreeValidCtxt);
    xmlSchemaSetValidErrors(valid.get(), collect, collect, &errors);
    if (xmlSchemaValidateDoc(valid.get(), doc.get()) != 0 && errors.isEmpty())
        errors = QStringLiteral("does not validate");
    return errors;
}

} // namespace kront::test
