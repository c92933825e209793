#pragma once

#include "reportengine/ReportModel.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace kront::report
{

// Reads a report template (our XML format, docs/report-templates.md) and
// checks it whole: a template either loads completely or not at all, with a
// message naming the line and the fault.
class TemplateReader
{
public:
    // `baseDir` resolves the relative file names of pictures.
    std::unique_ptr<ReportTemplate> read(const QByteArray &xml, const QString &baseDir);
    std::unique_ptr<ReportTemplate> readFile(const QString &path);

    const QString &errorString() const { return error; }

private:
    QString error;
};

} // namespace kront::report
