#include "reportengine/XmlAttributes.h"

#include <cmath>

namespace kront::report
{

XmlAttributes::XmlAttributes(const QString &elementName, const QXmlStreamAttributes &attributes)
    : element(elementName), attrs(attributes)
{
}

void XmlAttributes::fail(const QString &message)
{
    if (error.isEmpty())
        error = message;
}

void XmlAttributes::allowOnly(const QStringList &known)
{
    for (const QXmlStreamAttribute &a : attrs) {
        const QString key = a.name().toString();
        if (!known.contains(key))
            fail(QStringLiteral("неизвестный атрибут '%1' элемента <%2>").arg(key, element));
    }
}

bool XmlAttributes::has(const QString &key) const
{
    return attrs.hasAttribute(key);
}

QString XmlAttributes::text(const QString &key, const QString &fallback)
{
    return attrs.hasAttribute(key) ? attrs.value(key).toString() : fallback;
}

QString XmlAttributes::required(const QString &key)
{
    const QString v = attrs.value(key).toString().trimmed();
    if (v.isEmpty())
        fail(QStringLiteral("у элемента <%1> не задан атрибут '%2'").arg(element, key));
    return v;
}

double XmlAttributes::number(const QString &key, double fallback)
{
    if (!attrs.hasAttribute(key))
        return fallback;
    QString v = attrs.value(key).toString().trimmed();
    v.replace(u',', u'.');
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d)) {
        fail(QStringLiteral("атрибут '%1' элемента <%2> не число: '%3'")
                 .arg(key, element, attrs.value(key).toString()));
        return fallback;
    }
    return d;
}

double XmlAttributes::requiredNumber(const QString &key)
{
    if (!attrs.hasAttribute(key)) {
        fail(QStringLiteral("у элемента <%1> не задан атрибут '%2'").arg(element, key));
        return 0;
    }
    return number(key, 0);
}

double XmlAttributes::nonNegative(const QString &key, double fallback)
{
    const double d = number(key, fallback);
    if (d < 0) {
        fail(QStringLiteral("атрибут '%1' элемента <%2> отрицателен").arg(key, element));
        return fallback;
    }
    return d;
}

bool XmlAttributes::flag(const QString &key, bool fallback)
{
    if (!attrs.hasAttribute(key))
        return fallback;
    const QString v = attrs.value(key).toString().trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("false") || v == QLatin1String("0"))
        return false;
    fail(QStringLiteral("атрибут '%1' элемента <%2> должен быть true или false").arg(key, element));
    return fallback;
}

QColor XmlAttributes::color(const QString &key, const QColor &fallback)
{
    if (!attrs.hasAttribute(key))
        return fallback;
    const QColor c(attrs.value(key).toString().trimmed());
    if (!c.isValid()) {
        fail(QStringLiteral("атрибут '%1' элемента <%2> не цвет: '%3'")
                 .arg(key, element, attrs.value(key).toString()));
        return fallback;
    }
    return c;
}

std::optional<Expression> XmlAttributes::expression(const QString &key)
{
    if (!attrs.hasAttribute(key))
        return std::nullopt;
    QString message;
    auto e = Expression::parse(attrs.value(key).toString(), &message);
    if (!e)
        fail(QStringLiteral("ошибка в выражении атрибута '%1' элемента <%2>: %3")
                 .arg(key, element, message));
    return e;
}

FontSpec XmlAttributes::font(const FontSpec &inherited)
{
    FontSpec f = inherited;
    f.family = text(QStringLiteral("fontFamily"), f.family).trimmed();
    f.size = number(QStringLiteral("fontSize"), f.size);
    if (f.size < 1 || f.size > 200)
        fail(QStringLiteral("размер шрифта элемента <%1> вне 1..200").arg(element));
    if (f.family.isEmpty())
        fail(QStringLiteral("пустое имя шрифта у элемента <%1>").arg(element));
    f.bold = flag(QStringLiteral("bold"), f.bold);
    f.italic = flag(QStringLiteral("italic"), f.italic);
    f.underline = flag(QStringLiteral("underline"), f.underline);
    return f;
}

Frame XmlAttributes::frame(const Frame &fallback)
{
    Frame f = fallback;
    if (attrs.hasAttribute(QStringLiteral("frame"))) {
        f.left = f.top = f.right = f.bottom = false;
        const QStringList sides =
            attrs.value(QStringLiteral("frame")).toString().split(u' ', Qt::SkipEmptyParts);
        for (const QString &side : sides) {
            if (side == QLatin1String("all"))
                f.left = f.top = f.right = f.bottom = true;
            else if (side == QLatin1String("left"))
                f.left = true;
            else if (side == QLatin1String("top"))
                f.top = true;
            else if (side == QLatin1String("right"))
                f.right = true;
            else if (side == QLatin1String("bottom"))
                f.bottom = true;
            else if (side != QLatin1String("none"))
                fail(QStringLiteral("неизвестная сторона рамки '%1' у элемента <%2>")
                         .arg(side, element));
        }
    }
    f.width = nonNegative(QStringLiteral("frameWidth"), f.width);
    f.color = color(QStringLiteral("frameColor"), f.color);
    return f;
}

} // namespace kront::report
