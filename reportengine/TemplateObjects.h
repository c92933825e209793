#pragma once

#include "reportengine/ReportModel.h"

#include <QString>
#include <QXmlStreamReader>

namespace kront::report
{

// Reads the object element (<text>, <line>, <rect>, <picture>) the reader
// stands on, up to and including its end. `baseDir` resolves picture files;
// `bandFont` is the font the object inherits. False with a message (without
// the line number) on a fault.
bool readReportObject(QXmlStreamReader &xml, const QString &baseDir, const FontSpec &bandFont,
                      ReportObject &object, QString &error);

} // namespace kront::report
