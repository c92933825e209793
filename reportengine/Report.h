#pragma once

#include "reportengine/PreparedReport.h"
#include "reportengine/ReportModel.h"
#include "reportengine/UserDataSet.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace kront::report
{

// The report object: one loaded template with its variables, the user data
// sets and the value callback of the program, and the report prepared from
// them. Names of variables, components and data sets are matched
// case-insensitively.
//
// Order of use: reset(), loadFromFile(), set variables, visibility and record
// counts, prepare() (the window layer shows dialog pages first, then the
// preview), read variables back.
class Report
{
public:
    // Asked for every name the template uses while the report is prepared.
    // An invalid QVariant leaves the name unanswered: the template's own
    // variable of that name is used, and an undeclared name prints empty.
    using ValueCallback = std::function<QVariant(const QString &name)>;

    Report();
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    // Drops the template, its variables and the prepared report. The value
    // callback and the user data sets stay (they belong to the program).
    void reset();

    // Loads a template file; false with errorString() when it cannot be read
    // or is not a valid template (the report is then empty).
    bool loadFromFile(const QString &path);
    bool loadFromData(const QByteArray &xml, const QString &baseDir = {});
    bool isLoaded() const { return tmpl != nullptr; }
    QString errorString() const { return error; }
    QString fileName() const;
    QString title() const;

    // Template variables hold expression texts: 'quoted text', True, False,
    // numbers, names of other variables.
    bool hasVariable(const QString &name) const;
    QStringList variableNames() const;
    // Sets the expression; a variable the template does not declare is added.
    void setVariable(const QString &name, const QString &expression);
    void setVariable(const QString &name, bool value);
    // Without this a string literal would pick the bool overload.
    void setVariable(const QString &name, const char *expression)
    {
        setVariable(name, QString::fromUtf8(expression));
    }
    // The expression text as set (std::nullopt when not declared).
    std::optional<QString> variableExpression(const QString &name) const;
    // The evaluated value (names in it are resolved like in the template);
    // an invalid QVariant when the variable is not declared.
    QVariant variableValue(const QString &name) const;

    // The longest text a dialog field may write into a variable, in
    // characters (0: no limit). The program sets it for variables whose texts
    // are recorded in columns of a fixed width, so that a field takes no more
    // than is recorded. reset() drops the limits.
    void setTextLimit(const QString &name, int characters);
    int textLimit(const QString &name) const;

    // Components by name: bands, pages, dialog pages. nullptr when absent.
    Component *findComponent(const QString &name) const;
    Band *findBand(const QString &name) const;
    ReportPage *findPage(const QString &name) const;
    DialogPage *findDialogPage(const QString &name) const;
    std::vector<DialogPage *> dialogPages() const;

    // The user data set of that name, created empty on first use.
    UserDataSet &userDataSet(const QString &name);
    // Current record number of a data set (0 when it does not exist).
    int currentRecord(const QString &dataSetName) const;

    void setValueCallback(ValueCallback callback);

    // The value of a name as the template sees it: the callback first, then
    // the template's variable; an invalid QVariant when neither knows it.
    // (#PAGE and #PAGES are answered by the preparation itself.)
    QVariant resolve(const QString &name) const;

    // Prepares the report (previous result discarded). False without a
    // template. Dialog pages are the window layer's business and are shown
    // before this is called.
    bool prepare();
    const PreparedReport &prepared() const { return result; }
    // Names the template used that nobody answered, from the last prepare().
    QStringList unknownNames() const;

    // Every name the template refers to in texts, conditions and variable
    // expressions, each once, in order of first appearance.
    QStringList usedNames() const;

    // Runs the template's <onPrint> actions. Called once the prepared report
    // went to a printer or into a PDF file the operator saved: both are the
    // document leaving the program (a saved PDF is printed elsewhere).
    void notifyPrinted();

    // Writes the prepared report to a PDF file; false with errorString().
    bool writePdf(const QString &path);

private:
    struct VariableEntry {
        QString name;
        QString expression;
    };
    const VariableEntry *findVariable(const QString &name) const;

    std::unique_ptr<ReportTemplate> tmpl;
    std::vector<VariableEntry> variables;
    std::map<QString, std::unique_ptr<UserDataSet>> dataSets; // key: lower-case name
    std::map<QString, int> textLimits;                        // key: lower-case name
    ValueCallback callback;
    PreparedReport result;
    QString error;
    mutable QStringList unknown;
    mutable QStringList evaluating; // guards against variables that refer to themselves
};

} // namespace kront::report
