#include "reportengine/Report.h"

#include "reportengine/PagePainter.h"
#include "reportengine/ReportLayout.h"
#include "reportengine/TemplateReader.h"

#include <QGuiApplication>

namespace kront::report
{

namespace
{

// Text layout and PDF writing need the font system of a QGuiApplication (the
// offscreen platform will do); without one Qt would abort.
bool fontsAvailable(QString &error)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return true;
    error = QStringLiteral("Для формирования отчёта нужен QGuiApplication "
                           "(достаточно платформы offscreen)");
    return false;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void appendOnce(QStringList &list, const QStringList &names)
{
    for (const QString &n : names) {
        bool seen = false;
        for (const QString &m : list)
            seen = seen || sameName(m, n);
        if (!seen)
            list << n;
    }
}

} // namespace

Report::Report() = default;
Report::~Report() = default;

void Report::reset()
{
    tmpl.reset();
    variables.clear();
    result = PreparedReport();
    error.clear();
    unknown.clear();
    textLimits.clear();
}

bool Report::loadFromFile(const QString &path)
{
    reset();
    TemplateReader reader;
    tmpl = reader.readFile(path);
    error = reader.errorString();
    if (tmpl)
        for (const VariableDecl &v : tmpl->variables)
            variables.push_back({v.name, v.expression});
    return tmpl != nullptr;
}

bool Report::loadFromData(const QByteArray &xml, const QString &baseDir)
{
    reset();
    TemplateReader reader;
    tmpl = reader.read(xml, baseDir);
    error = reader.errorString();
    if (tmpl)
        for (const VariableDecl &v : tmpl->variables)
            variables.push_back({v.name, v.expression});
    return tmpl != nullptr;
}

QString Report::fileName() const
{
    return tmpl ? tmpl->fileName : QString();
}
QString Report::title() const
{
    return tmpl ? tmpl->title : QString();
}

const Report::VariableEntry *Report::findVariable(const QString &name) const
{
    for (const VariableEntry &v : variables)
        if (sameName(v.name, name))
            return &v;
    return nullptr;
}

bool Report::hasVariable(const QString &name) const
{
    return findVariable(name) != nullptr;
}

QStringList Report::variableNames() const
{
    QStringList names;
    for (const VariableEntry &v : variables)
        names << v.name;
    return names;
}

void Report::setVariable(const QString &name, const QString &expression)
{
    for (VariableEntry &v : variables)
        if (sameName(v.name, name)) {
            v.expression = expression;
            return;
        }
    variables.push_back({name, expression});
}

void Report::setVariable(const QString &name, bool value)
{
    setVariable(name, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void Report::setTextLimit(const QString &name, int characters)
{
    if (characters > 0)
        textLimits[name.toLower()] = characters;
    else
        textLimits.erase(name.toLower());
}

int Report::textLimit(const QString &name) const
{
    const auto it = textLimits.find(name.toLower());
    return it == textLimits.end() ? 0 : it->second;
}

std::optional<QString> Report::variableExpression(const QString &name) const
{
    const VariableEntry *v = findVariable(name);
    return v ? std::optional<QString>(v->expression) : std::nullopt;
}

// A text that does not parse is taken for what it was meant to be: the text
// inside its quotes when it is quoted ('O'Neil' set without doubling the
// quote), else the text itself.
QVariant Report::variableValue(const QString &name) const
{
    const VariableEntry *v = findVariable(name);
    if (!v)
        return {};
    for (const QString &open : evaluating)
        if (sameName(open, name))
            return QString(); // a variable that refers to itself
    const auto expr = Expression::parse(v->expression);
    if (!expr) {
        const QString s = v->expression.trimmed();
        if (s.size() >= 2 && s.startsWith(u'\'') && s.endsWith(u'\''))
            return s.mid(1, s.size() - 2);
        return s;
    }
    evaluating << name;
    const QVariant value = expr->evaluate([this](const QString &n) { return resolve(n); });
    evaluating.removeLast();
    return value;
}

Component *Report::findComponent(const QString &name) const
{
    if (Band *b = findBand(name))
        return b;
    if (ReportPage *p = findPage(name))
        return p;
    return findDialogPage(name);
}

Band *Report::findBand(const QString &name) const
{
    if (tmpl)
        for (const auto &page : tmpl->pages)
            for (const auto &band : page->bands)
                if (sameName(band->name(), name))
                    return band.get();
    return nullptr;
}

ReportPage *Report::findPage(const QString &name) const
{
    if (tmpl)
        for (const auto &page : tmpl->pages)
            if (sameName(page->name(), name))
                return page.get();
    return nullptr;
}

DialogPage *Report::findDialogPage(const QString &name) const
{
    if (tmpl)
        for (const auto &d : tmpl->dialogs)
            if (sameName(d->name(), name))
                return d.get();
    return nullptr;
}

std::vector<DialogPage *> Report::dialogPages() const
{
    std::vector<DialogPage *> out;
    if (tmpl)
        for (const auto &d : tmpl->dialogs)
            out.push_back(d.get());
    return out;
}

UserDataSet &Report::userDataSet(const QString &name)
{
    auto &slot = dataSets[name.toLower()];
    if (!slot)
        slot = std::make_unique<UserDataSet>(name);
    return *slot;
}

int Report::currentRecord(const QString &dataSetName) const
{
    const auto it = dataSets.find(dataSetName.toLower());
    return it == dataSets.end() ? 0 : it->second->recNo();
}

void Report::setValueCallback(ValueCallback c)
{
    callback = std::move(c);
}

QVariant Report::resolve(const QString &name) const
{
    if (callback) {
        const QVariant answered = callback(name);
        if (answered.isValid())
            return answered;
    }
    if (hasVariable(name))
        return variableValue(name);
    appendOnce(unknown, {name});
    return {};
}

bool Report::prepare()
{
    result = PreparedReport();
    unknown.clear();
    if (!tmpl) {
        error = QStringLiteral("Шаблон отчёта не загружен");
        return false;
    }
    if (!fontsAvailable(error))
        return false;
    ReportLayout layout(
        *tmpl, [this](const QString &n) { return resolve(n); },
        [this](const QString &n) -> UserDataSet & { return userDataSet(n); });
    result = layout.run();
    return true;
}

QStringList Report::unknownNames() const
{
    return unknown;
}

QStringList Report::usedNames() const
{
    QStringList names;
    if (!tmpl)
        return names;
    auto addExpr = [&](const std::optional<Expression> &e) {
        if (e)
            appendOnce(names, e->names());
    };
    for (const auto &page : tmpl->pages) {
        addExpr(page->visibleIf);
        for (const auto &band : page->bands) {
            addExpr(band->visibleIf);
            for (const ReportObject &o : band->objects) {
                addExpr(o.visibleIf);
                appendOnce(names, o.text.names());
            }
        }
    }
    for (const VariableEntry &v : variables)
        addExpr(Expression::parse(v.expression));
    for (const auto &d : tmpl->dialogs)
        for (const DialogField &f : d->fields) {
            addExpr(f.visibleIf);
            if (!f.variable.isEmpty())
                appendOnce(names, {f.variable});
        }
    names.removeIf([](const QString &n) { return n.startsWith(u'#'); });
    return names;
}

void Report::notifyPrinted()
{
    if (!tmpl)
        return;
    for (const SetAction &a : tmpl->onPrint)
        setVariable(a.variable, a.expression);
}

bool Report::writePdf(const QString &path)
{
    QString message;
    if (!fontsAvailable(error))
        return false;
    if (!writePdfFile(result, path, &message)) {
        error = message;
        return false;
    }
    return true;
}

} // namespace kront::report
