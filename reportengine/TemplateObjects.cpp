#include "reportengine/TemplateObjects.h"

#include "reportengine/XmlAttributes.h"

#include <QDir>

namespace kront::report
{

namespace
{

QStringList withFont(QStringList keys)
{
    return keys + QStringList{"fontFamily", "fontSize", "bold", "italic", "underline"};
}

void readPadding(XmlAttributes &a, ReportObject &o);

void readText(QXmlStreamReader &xml, ReportObject &o, XmlAttributes &a, const FontSpec &bandFont)
{
    a.allowOnly(withFont({"name", "left", "top", "width", "height", "align", "valign", "wordWrap",
                          "stretch", "padding", "frame", "frameWidth", "frameColor", "color",
                          "fill", "visibleIf"}));
    o.font = a.font(bandFont);
    const QString align = a.text(QStringLiteral("align"), QStringLiteral("left"));
    if (align == QLatin1String("center"))
        o.hAlign = HAlign::Center;
    else if (align == QLatin1String("right"))
        o.hAlign = HAlign::Right;
    else if (align != QLatin1String("left"))
        a.fail(QStringLiteral("выравнивание должно быть left, center или right"));
    const QString valign = a.text(QStringLiteral("valign"), QStringLiteral("top"));
    if (valign == QLatin1String("center"))
        o.vAlign = VAlign::Center;
    else if (valign == QLatin1String("bottom"))
        o.vAlign = VAlign::Bottom;
    else if (valign != QLatin1String("top"))
        a.fail(QStringLiteral("вертикальное выравнивание должно быть top, center или bottom"));
    o.wordWrap = a.flag(QStringLiteral("wordWrap"), true);
    o.stretch = a.flag(QStringLiteral("stretch"), false);
    readPadding(a, o);
    o.frame = a.frame(Frame());
    o.color = a.color(QStringLiteral("color"), Qt::black);
    o.fill = a.color(QStringLiteral("fill"), QColor());
    if (!a.ok())
        return;
    QString content = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QString message;
    auto text = TextTemplate::parse(content.trimmed(), &message);
    if (!text)
        a.fail(message);
    else
        o.text = std::move(*text);
}

// "padding": one length for all sides, or "horizontal vertical" (mm).
void readPadding(XmlAttributes &a, ReportObject &o)
{
    if (!a.has(QStringLiteral("padding")))
        return;
    QStringList parts = a.text(QStringLiteral("padding")).split(u' ', Qt::SkipEmptyParts);
    bool okX = false, okY = false;
    const double x = parts.value(0).replace(u',', u'.').toDouble(&okX);
    const double y = parts.size() == 2 ? parts[1].replace(u',', u'.').toDouble(&okY) : x;
    if (parts.size() == 1)
        okY = okX;
    if (parts.size() > 2 || !okX || !okY || x < 0 || y < 0) {
        a.fail(QStringLiteral("отступ текста 'padding' должен быть одним или двумя "
                              "неотрицательными числами"));
        return;
    }
    o.paddingX = x;
    o.paddingY = y;
}

void readPicture(QXmlStreamReader &xml, const QString &baseDir, ReportObject &o, XmlAttributes &a)
{
    a.allowOnly({"name", "left", "top", "width", "height", "src", "keepAspect", "visibleIf"});
    o.keepAspect = a.flag(QStringLiteral("keepAspect"), true);
    const QString src = a.text(QStringLiteral("src")).trimmed();
    const QString inline64 = xml.readElementText().trimmed();
    if (!a.ok())
        return;
    if (!src.isEmpty()) {
        const QString path = QDir(baseDir).filePath(src);
        if (!o.image.load(path))
            a.fail(QStringLiteral("не удалось прочитать рисунок '%1'").arg(path));
    } else if (!inline64.isEmpty()) {
        if (!o.image.loadFromData(QByteArray::fromBase64(inline64.toLatin1())))
            a.fail(QStringLiteral("рисунок внутри <picture> не читается (ожидается base64 PNG)"));
    } else {
        a.fail(QStringLiteral("у рисунка не задан ни файл 'src', ни данные"));
    }
}

} // namespace

bool readReportObject(QXmlStreamReader &xml, const QString &baseDir, const FontSpec &bandFont,
                      ReportObject &o, QString &error)
{
    const QString tag = xml.name().toString();
    XmlAttributes a(tag, xml.attributes());
    if (tag == QLatin1String("text")) {
        o.type = ReportObject::Type::Text;
        readText(xml, o, a, bandFont);
    } else if (tag == QLatin1String("line")) {
        o.type = ReportObject::Type::Line;
        a.allowOnly({"name", "x1", "y1", "x2", "y2", "width", "color", "visibleIf"});
        o.from = QPointF(a.requiredNumber("x1"), a.requiredNumber("y1"));
        o.to = QPointF(a.requiredNumber("x2"), a.requiredNumber("y2"));
        o.lineWidth = a.nonNegative(QStringLiteral("width"), 0.2);
        o.color = a.color(QStringLiteral("color"), Qt::black);
        xml.skipCurrentElement();
    } else if (tag == QLatin1String("rect")) {
        o.type = ReportObject::Type::Rect;
        a.allowOnly({"name", "left", "top", "width", "height", "frameWidth", "frameColor", "fill",
                     "visibleIf"});
        Frame all;
        all.left = all.top = all.right = all.bottom = true;
        o.frame = a.frame(all);
        o.fill = a.color(QStringLiteral("fill"), QColor());
        xml.skipCurrentElement();
    } else if (tag == QLatin1String("picture")) {
        o.type = ReportObject::Type::Picture;
        readPicture(xml, baseDir, o, a);
    } else {
        error = QStringLiteral("неизвестный элемент <%1> внутри <band>").arg(tag);
        return false;
    }
    o.name = a.text(QStringLiteral("name"));
    if (o.type != ReportObject::Type::Line)
        o.rect = QRectF(a.nonNegative("left", 0), a.nonNegative("top", 0),
                        a.requiredNumber("width"), a.requiredNumber("height"));
    if (o.rect.width() < 0 || o.rect.height() < 0)
        a.fail(QStringLiteral("размеры объекта <%1> отрицательны").arg(tag));
    o.visibleIf = a.expression(QStringLiteral("visibleIf"));
    error = a.errorString();
    return a.ok();
}

} // namespace kront::report
