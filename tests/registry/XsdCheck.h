#pragma once

#include <QByteArray>
#include <QString>

namespace kront::test
{

// The messages libxml2 gives when checking the bytes against the program's schema of the
// registry import file; empty when they validate.
QString RegistryXsdErrors(const QByteArray &xml);

} // namespace kront::test
