#include "reportengine/TemplateReader.h"

#include "reportengine/TemplateObjects.h"
#include "reportengine/XmlAttributes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QXmlStreamReader>

namespace kront::report
{

namespace
{

const QStringList kFontKeys = {"fontFamily", "fontSize", "bold", "italic", "underline"};

QStringList withFont(QStringList keys)
{
    return keys + kFontKeys;
}

struct BandTypeName {
    const char *name;
    BandType type;
};
const BandTypeName kBandTypes[] = {
    {"pageHeader", BandType::PageHeader}, {"pageFooter", BandType::PageFooter},
    {"title", BandType::Title},           {"summary", BandType::Summary},
    {"header", BandType::Header},         {"masterData", BandType::MasterData},
    {"footer", BandType::Footer},         {"child", BandType::Child},
};

class Parser
{
public:
    Parser(const QByteArray &data, const QString &dir) : xml(data), baseDir(dir) {}

    std::unique_ptr<ReportTemplate> run()
    {
        auto t = std::make_unique<ReportTemplate>();
        report = t.get();
        if (!xml.readNextStartElement()) {
            fail(xml.hasError() ? xml.errorString() : QStringLiteral("нет корневого элемента"));
        } else if (xml.name() != QLatin1String("report")) {
            fail(QStringLiteral("корневой элемент должен быть <report>"));
        } else {
            readReport();
        }
        if (error.isEmpty() && xml.hasError())
            fail(xml.errorString());
        if (error.isEmpty() && report->pages.empty())
            fail(QStringLiteral("в шаблоне нет ни одной страницы <page>"));
        return error.isEmpty() ? std::move(t) : nullptr;
    }

    QString error;

private:
    bool fail(const QString &message)
    {
        if (error.isEmpty())
            error = QStringLiteral("строка %1: %2").arg(xml.lineNumber()).arg(message);
        return false;
    }
    bool check(const XmlAttributes &a) { return a.ok() || fail(a.errorString()); }
    bool unknownElement(const QString &parent)
    {
        return fail(QStringLiteral("неизвестный элемент <%1> внутри <%2>")
                        .arg(xml.name().toString(), parent));
    }

    bool claimName(const QString &name)
    {
        if (name.isEmpty())
            return true;
        const QString key = name.toLower();
        if (componentNames.contains(key))
            return fail(QStringLiteral("имя '%1' встречается в шаблоне дважды").arg(name));
        componentNames.insert(key);
        return true;
    }

    void readReport()
    {
        XmlAttributes a(QStringLiteral("report"), xml.attributes());
        a.allowOnly(withFont({"version", "title"}));
        if (a.has(QStringLiteral("version")) && a.text(QStringLiteral("version")) != "1")
            a.fail(QStringLiteral("версия шаблона '%1' не поддерживается")
                       .arg(a.text(QStringLiteral("version"))));
        report->title = a.text(QStringLiteral("title"));
        reportFont = a.font(FontSpec());
        if (!check(a))
            return;
        while (error.isEmpty() && xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("variables"))
                readVariables();
            else if (xml.name() == QLatin1String("onPrint"))
                readOnPrint();
            else if (xml.name() == QLatin1String("dialog"))
                readDialog();
            else if (xml.name() == QLatin1String("page"))
                readPage();
            else
                unknownElement(QStringLiteral("report"));
        }
    }

    void readVariables()
    {
        QSet<QString> seen;
        while (error.isEmpty() && xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("variable")) {
                unknownElement(QStringLiteral("variables"));
                return;
            }
            XmlAttributes a(QStringLiteral("variable"), xml.attributes());
            a.allowOnly({"name", "value"});
            VariableDecl v{a.required(QStringLiteral("name")), a.text(QStringLiteral("value"))};
            a.expression(QStringLiteral("value"));
            if (!check(a))
                return;
            if (seen.contains(v.name.toLower())) {
                fail(QStringLiteral("переменная '%1' объявлена дважды").arg(v.name));
                return;
            }
            seen.insert(v.name.toLower());
            report->variables.push_back(v);
            xml.skipCurrentElement();
        }
    }

    void readOnPrint()
    {
        while (error.isEmpty() && xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("set")) {
                unknownElement(QStringLiteral("onPrint"));
                return;
            }
            XmlAttributes a(QStringLiteral("set"), xml.attributes());
            a.allowOnly({"variable", "value"});
            SetAction s{a.required(QStringLiteral("variable")), a.text(QStringLiteral("value"))};
            a.expression(QStringLiteral("value"));
            if (!check(a))
                return;
            report->onPrint.push_back(s);
            xml.skipCurrentElement();
        }
    }

    void readDialog()
    {
        auto d = std::make_unique<DialogPage>();
        XmlAttributes a(QStringLiteral("dialog"), xml.attributes());
        a.allowOnly({"name", "caption", "width", "visible"});
        d->componentName = a.required(QStringLiteral("name"));
        d->caption = a.text(QStringLiteral("caption"));
        d->width = int(a.nonNegative(QStringLiteral("width"), 0));
        d->visible = a.flag(QStringLiteral("visible"), true);
        if (!check(a) || !claimName(d->componentName))
            return;
        while (error.isEmpty() && xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("button"))
                readDialogButton(*d);
            else
                readDialogField(*d);
        }
        report->dialogs.push_back(std::move(d));
    }

    void readDialogButton(DialogPage &d)
    {
        XmlAttributes a(QStringLiteral("button"), xml.attributes());
        a.allowOnly({"text", "action"});
        DialogButton b{a.required(QStringLiteral("text")), true};
        const QString action = a.text(QStringLiteral("action"), QStringLiteral("accept"));
        if (action != QLatin1String("accept") && action != QLatin1String("cancel"))
            a.fail(QStringLiteral("действие кнопки должно быть accept или cancel"));
        b.accept = action == QLatin1String("accept");
        if (!check(a))
            return;
        d.buttons.push_back(b);
        xml.skipCurrentElement();
    }

    void readDialogField(DialogPage &d)
    {
        static const QStringList kinds = {"label", "edit", "memo", "combo", "check"};
        const QString tag = xml.name().toString();
        const int kind = int(kinds.indexOf(tag));
        if (kind < 0) {
            unknownElement(QStringLiteral("dialog"));
            return;
        }
        DialogField f;
        f.kind = DialogField::Kind(kind);
        XmlAttributes a(tag, xml.attributes());
        a.allowOnly({"name", "label", "variable", "editable", "visibleIf"});
        f.name = a.text(QStringLiteral("name"));
        f.label = a.text(QStringLiteral("label"));
        if (f.kind != DialogField::Kind::Label)
            f.variable = a.required(QStringLiteral("variable"));
        f.editable = a.flag(QStringLiteral("editable"), true);
        f.visibleIf = a.expression(QStringLiteral("visibleIf"));
        if (!check(a) || !claimName(f.name))
            return;
        while (error.isEmpty() && xml.readNextStartElement()) {
            if (f.kind != DialogField::Kind::Combo || xml.name() != QLatin1String("item")) {
                unknownElement(tag);
                return;
            }
            f.items << xml.readElementText().trimmed();
        }
        d.fields.push_back(f);
    }

    void readPage()
    {
        auto p = std::make_unique<ReportPage>();
        XmlAttributes a(QStringLiteral("page"), xml.attributes());
        a.allowOnly(withFont(
            {"name", "orientation", "margins", "printOnPreviousPage", "visible", "visibleIf"}));
        p->componentName = a.required(QStringLiteral("name"));
        const QString orientation = a.text(QStringLiteral("orientation"), "portrait");
        if (orientation == QLatin1String("landscape"))
            std::swap(p->width, p->height);
        else if (orientation != QLatin1String("portrait"))
            a.fail(QStringLiteral("ориентация страницы должна быть portrait или landscape"));
        readMargins(a, *p);
        p->onPreviousPage = a.flag(QStringLiteral("printOnPreviousPage"), false);
        p->visible = a.flag(QStringLiteral("visible"), true);
        p->visibleIf = a.expression(QStringLiteral("visibleIf"));
        pageFont = a.font(reportFont);
        if (!check(a) || !claimName(p->componentName))
            return;
        while (error.isEmpty() && xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("band")) {
                unknownElement(QStringLiteral("page"));
                return;
            }
            readBand(*p);
        }
        if (error.isEmpty())
            checkBandOrder(*p);
        report->pages.push_back(std::move(p));
    }

    void readMargins(XmlAttributes &a, ReportPage &p)
    {
        if (!a.has(QStringLiteral("margins")))
            return;
        QStringList parts = a.text(QStringLiteral("margins")).split(u' ', Qt::SkipEmptyParts);
        bool ok = parts.size() == 4;
        double m[4] = {0, 0, 0, 0};
        for (int i = 0; ok && i < 4; ++i) {
            m[i] = parts[i].replace(u',', u'.').toDouble(&ok);
            ok = ok && m[i] >= 0;
        }
        if (!ok || m[0] + m[2] >= p.width - 10 || m[1] + m[3] >= p.height - 10) {
            a.fail(QStringLiteral("поля страницы должны быть четырьмя числами "
                                  "\"слева сверху справа снизу\" в мм"));
            return;
        }
        p.marginLeft = m[0];
        p.marginTop = m[1];
        p.marginRight = m[2];
        p.marginBottom = m[3];
    }

    void readBand(ReportPage &p)
    {
        auto b = std::make_unique<Band>();
        XmlAttributes a(QStringLiteral("band"), xml.attributes());
        a.allowOnly(withFont(
            {"name", "type", "height", "dataSet", "reprintOnNewPage", "visible", "visibleIf"}));
        b->componentName = a.required(QStringLiteral("name"));
        const QString type = a.required(QStringLiteral("type"));
        bool known = false;
        for (const BandTypeName &t : kBandTypes)
            if (type == QLatin1String(t.name)) {
                b->type = t.type;
                known = true;
            }
        if (!known && a.ok())
            a.fail(QStringLiteral("неизвестный тип бэнда '%1'").arg(type));
        b->height = a.nonNegative(QStringLiteral("height"), -1);
        if (b->height < 0)
            a.required(QStringLiteral("height"));
        b->dataSet = a.text(QStringLiteral("dataSet")).trimmed();
        if (b->type == BandType::MasterData && b->dataSet.isEmpty())
            a.required(QStringLiteral("dataSet"));
        b->reprintOnNewPage = a.flag(QStringLiteral("reprintOnNewPage"), false);
        b->visible = a.flag(QStringLiteral("visible"), true);
        b->visibleIf = a.expression(QStringLiteral("visibleIf"));
        const FontSpec bandFont = a.font(pageFont);
        if (!check(a) || !claimName(b->componentName))
            return;
        if (b->height > p.height - p.marginTop - p.marginBottom) {
            fail(QStringLiteral("бэнд '%1' выше страницы").arg(b->componentName));
            return;
        }
        while (error.isEmpty() && xml.readNextStartElement())
            readObject(*b, p, bandFont);
        p.bands.push_back(std::move(b));
    }

    void readObject(Band &b, const ReportPage &p, const FontSpec &bandFont)
    {
        const QString tag = xml.name().toString();
        ReportObject o;
        QString message;
        if (!readReportObject(xml, baseDir, bandFont, o, message)) {
            fail(message);
            return;
        }
        if (!fitsOnPage(o, p)) {
            fail(QStringLiteral("объект <%1> бэнда '%2' выходит за пределы страницы")
                     .arg(tag, b.componentName));
            return;
        }
        if (claimName(o.name))
            b.objects.push_back(std::move(o));
    }

    // An object lies on the paper across, and no lower than the printable
    // height of its page: the band grows to take in its objects, and one
    // that could never fit on a sheet would run on over sheets without end.
    static bool fitsOnPage(const ReportObject &o, const ReportPage &p)
    {
        const double left = -p.marginLeft, right = p.width - p.marginLeft;
        const double top = -p.height, bottom = p.height - p.marginTop - p.marginBottom;
        const QRectF box =
            o.type == ReportObject::Type::Line ? QRectF(o.from, o.to).normalized() : o.rect;
        constexpr double kSlack = 0.01; // mm of rounding in the numbers of a template
        return box.left() >= left - kSlack && box.right() <= right + kSlack &&
               box.top() >= top - kSlack && box.bottom() <= bottom + kSlack;
    }

    void checkBandOrder(const ReportPage &p);

    QXmlStreamReader xml;
    QString baseDir;
    ReportTemplate *report = nullptr;
    FontSpec reportFont, pageFont;
    QSet<QString> componentNames;
};

// Data headers stand right before their master band (after other headers),
// data footers right after it (after its child bands and other footers), and
// a child band follows the band it belongs to.
void Parser::checkBandOrder(const ReportPage &p)
{
    const auto &bands = p.bands;
    for (size_t i = 0; i < bands.size(); ++i) {
        const Band &b = *bands[i];
        if (b.type == BandType::Header) {
            size_t j = i + 1;
            while (j < bands.size() && bands[j]->type == BandType::Header)
                ++j;
            if (j == bands.size() || bands[j]->type != BandType::MasterData)
                fail(QStringLiteral("за заголовком данных '%1' не следует бэнд данных")
                         .arg(b.name()));
        } else if (b.type == BandType::Footer || b.type == BandType::Child) {
            size_t j = i;
            while (j > 0 && (bands[j - 1]->type == BandType::Footer ||
                             bands[j - 1]->type == BandType::Child))
                --j;
            const bool first = j == 0;
            const BandType before = first ? BandType::PageHeader : bands[j - 1]->type;
            if (b.type == BandType::Footer && (first || before != BandType::MasterData))
                fail(
                    QStringLiteral("подвал данных '%1' не следует за бэндом данных").arg(b.name()));
            if (b.type == BandType::Child &&
                (first || before == BandType::PageHeader || before == BandType::PageFooter))
                fail(QStringLiteral("дочерний бэнд '%1' не следует за бэндом, к которому "
                                    "относится")
                         .arg(b.name()));
        }
    }
    int headers = 0, footers = 0;
    for (const auto &b : bands) {
        headers += b->type == BandType::PageHeader;
        footers += b->type == BandType::PageFooter;
    }
    if (headers > 1 || footers > 1)
        fail(QStringLiteral("на странице '%1' больше одного верхнего или нижнего колонтитула")
                 .arg(p.name()));
}

} // namespace

std::unique_ptr<ReportTemplate> TemplateReader::read(const QByteArray &xml, const QString &baseDir)
{
    if (xml.trimmed().isEmpty()) {
        error = QStringLiteral("файл пуст");
        return nullptr;
    }
    Parser parser(xml, baseDir);
    auto t = parser.run();
    error = parser.error;
    return t;
}

std::unique_ptr<ReportTemplate> TemplateReader::readFile(const QString &path)
{
    QFile file(path);
    if (!file.exists()) {
        error = QStringLiteral("Файл шаблона '%1' не найден").arg(path);
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Не удалось открыть файл шаблона '%1': %2")
                    .arg(path, file.errorString());
        return nullptr;
    }
    auto t = read(file.readAll(), QFileInfo(path).absolutePath());
    if (!t) {
        error = QStringLiteral("Шаблон '%1': %2").arg(path, error);
        return nullptr;
    }
    t->fileName = path;
    return t;
}

} // namespace kront::report
