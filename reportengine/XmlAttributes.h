#pragma once

#include "reportengine/Expression.h"
#include "reportengine/ReportModel.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QXmlStreamAttributes>
#include <optional>

namespace kront::report
{

// Typed reading of the attributes of one template element. The first fault
// is kept in `error` and later reads become no-ops, so a caller reads every
// attribute it wants and checks ok() once.
class XmlAttributes
{
public:
    XmlAttributes(const QString &element, const QXmlStreamAttributes &attributes);

    // Fails when the element carries an attribute not in `known`.
    void allowOnly(const QStringList &known);

    bool has(const QString &key) const;
    QString text(const QString &key, const QString &fallback = {});
    QString required(const QString &key);
    double number(const QString &key, double fallback);
    double requiredNumber(const QString &key);
    double nonNegative(const QString &key, double fallback);
    bool flag(const QString &key, bool fallback);
    QColor color(const QString &key, const QColor &fallback);
    std::optional<Expression> expression(const QString &key);
    // fontFamily, fontSize, bold, italic, underline over `inherited`.
    FontSpec font(const FontSpec &inherited);
    Frame frame(const Frame &fallback);

    bool ok() const { return error.isEmpty(); }
    const QString &errorString() const { return error; }
    void fail(const QString &message);

private:
    QString element;
    QXmlStreamAttributes attrs;
    QString error;
};

} // namespace kront::report
