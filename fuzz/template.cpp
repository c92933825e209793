// libFuzzer target: the report template loader over any file bytes, and what
// the program does with a template right after loading it: reads its
// variables, lists the names it uses, fills the data sets, prepares the
// report and runs the print actions.
//
// Aborts when a loaded template breaks what the loader promises: component
// names unique and found by name, bands no taller than their page, object
// sizes not negative, every page of the prepared report with a size.
#include "reportengine/Report.h"
#include "reportengine/TemplateReader.h"

#include <QGuiApplication>
#include <QSet>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace kront::report;

namespace
{

QString baseDir; // pictures named by a relative path are looked for here

void checkTemplate(const ReportTemplate &t, Report &report)
{
    QSet<QString> names;
    // The report holds its own copy of the template: components are compared
    // by what they are, not by address.
    auto claim = [&](const QString &name, const Component *found) {
        if (name.isEmpty())
            return;
        if (names.contains(name.toLower()))
            std::abort(); // two components with one name
        names.insert(name.toLower());
        if (found && (found->name() != name || report.findComponent(name) != found))
            std::abort(); // the component is not found by its name
    };
    for (const auto &d : t.dialogs) {
        if (!report.findDialogPage(d->name()))
            std::abort();
        claim(d->name(), report.findDialogPage(d->name()));
        for (const DialogField &f : d->fields)
            claim(f.name, nullptr);
    }
    for (const auto &p : t.pages) {
        if (!report.findPage(p->name()))
            std::abort();
        claim(p->name(), report.findPage(p->name()));
        const double usable = p->height - p->marginTop - p->marginBottom;
        for (const auto &b : p->bands) {
            if (!report.findBand(b->name()))
                std::abort();
            claim(b->name(), report.findBand(b->name()));
            if (!(b->height >= 0 && b->height <= usable))
                std::abort(); // a band that cannot fit on its page
            for (const ReportObject &o : b->objects) {
                claim(o.name, nullptr);
                if (o.rect.width() < 0 || o.rect.height() < 0)
                    std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text layout needs the font system of a QGuiApplication.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    baseDir = dir.path();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char *>(data), qsizetype(size));
    TemplateReader reader;
    const auto loaded = reader.read(xml, baseDir);
    Report report;
    if (report.loadFromData(xml, baseDir) != bool(loaded))
        std::abort(); // the report and the reader disagree on the same bytes
    if (!loaded) {
        if (reader.errorString().isEmpty() || report.errorString().isEmpty())
            std::abort(); // refused without a message
        return 0;
    }
    checkTemplate(*loaded, report);

    for (const QString &name : report.variableNames())
        report.variableValue(name);
    report.usedNames();
    // Two records in every data set, as for a bunch of two sensors.
    for (const auto &p : loaded->pages)
        for (const auto &b : p->bands)
            if (!b->dataSet.isEmpty())
                report.userDataSet(b->dataSet).setRecordCount(2);
    if (!report.prepare())
        std::abort();
    for (const PreparedPage &page : report.prepared().pages)
        if (!(page.size.width() > 0 && page.size.height() > 0))
            std::abort();
    report.unknownNames();
    report.notifyPrinted();
    for (const QString &name : report.variableNames())
        report.variableValue(name);
    return 0;
}
