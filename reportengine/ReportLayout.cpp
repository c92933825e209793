#include "reportengine/ReportLayout.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace kront::report
{

namespace
{

constexpr double kEpsilon = 0.01; // mm

// Stand-ins for the sheet number and count until every sheet exists.
const QString kPageToken = QStringLiteral("\uE000P\uE001");
const QString kPagesToken = QStringLiteral("\uE000T\uE001");

// Fills and pictures go under every rule and text of the sheet, so that a
// cell's background never covers the frame of the cell beside it.
void paintBackgroundsFirst(PreparedPage &page)
{
    auto rank = [](const PreparedItem &item) {
        if (std::holds_alternative<PreparedRect>(item) ||
            std::holds_alternative<PreparedImage>(item))
            return 0;
        return std::holds_alternative<PreparedLine>(item) ? 1 : 2;
    };
    std::stable_sort(
        page.items.begin(), page.items.end(),
        [&](const PreparedItem &a, const PreparedItem &b) { return rank(a) < rank(b); });
}

// Neighbouring cells frame their common side twice; drawing it once keeps
// every rule of a table the same weight on paper.
void dropRepeatedLines(PreparedPage &page)
{
    QSet<QString> seen;
    std::erase_if(page.items, [&](const PreparedItem &item) {
        const auto *l = std::get_if<PreparedLine>(&item);
        if (!l)
            return false;
        QPointF a = l->line.p1(), b = l->line.p2();
        if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y()))
            std::swap(a, b);
        const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6")
                                .arg(std::lround(a.x() * 1000))
                                .arg(std::lround(a.y() * 1000))
                                .arg(std::lround(b.x() * 1000))
                                .arg(std::lround(b.y() * 1000))
                                .arg(std::lround(l->width * 1000))
                                .arg(l->color.rgba());
        if (seen.contains(key))
            return true;
        seen.insert(key);
        return false;
    });
}

} // namespace

ReportLayout::ReportLayout(const ReportTemplate &t, NameResolver r, DataSetLookup d)
    : tmpl(t), dataSet(std::move(d))
{
    resolve = [r = std::move(r)](const QString &name) -> QVariant {
        if (name.startsWith(u'#')) {
            if (name.compare(QLatin1String("#PAGE"), Qt::CaseInsensitive) == 0)
                return kPageToken;
            if (name.compare(QLatin1String("#PAGES"), Qt::CaseInsensitive) == 0)
                return kPagesToken;
        }
        return r(name);
    };
}

PreparedReport ReportLayout::run()
{
    out = PreparedReport();
    out.title = tmpl.title;
    for (const auto &page : tmpl.pages)
        printPage(*page);
    if (sheetOpen)
        finishSheet();
    numberSheets();
    for (PreparedPage &page : out.pages) {
        paintBackgroundsFirst(page);
        dropRepeatedLines(page);
    }
    return std::move(out);
}

bool ReportLayout::bandVisible(const Band &b) const
{
    return b.isVisible() && (!b.visibleIf || truthValue(b.visibleIf->evaluate(resolve)));
}

const Band *ReportLayout::bandOfType(const ReportPage &page, BandType type) const
{
    for (const auto &b : page.bands)
        if (b->type == type)
            return b.get();
    return nullptr;
}

void ReportLayout::printPage(const ReportPage &page)
{
    if (!page.isVisible() || (page.visibleIf && !truthValue(page.visibleIf->evaluate(resolve))))
        return;
    current = &page;
    if (!sheetOpen || !page.printOnPreviousPage())
        startSheet(page);

    std::vector<Unit> summaries;
    size_t i = 0;
    const auto &bands = page.bands;
    while (i < bands.size()) {
        const BandType type = bands[i]->type;
        if (type == BandType::PageHeader || type == BandType::PageFooter) {
            ++i;
        } else if (type == BandType::Header || type == BandType::MasterData) {
            const std::vector<Unit> headers = units(page, i, BandType::Header);
            const std::vector<Unit> master = units(page, i, BandType::MasterData);
            const std::vector<Unit> footers = units(page, i, BandType::Footer);
            printMaster(headers, master.front(), footers);
        } else {
            for (const Unit &u : units(page, i, type)) {
                if (type == BandType::Summary)
                    summaries.push_back(u);
                else
                    printBlock({&u});
            }
        }
    }
    for (const Unit &u : summaries)
        printBlock({&u});
}

// The bands of `type` starting at i (one master band at most), each with the
// child bands that follow it; i moves past them.
std::vector<ReportLayout::Unit> ReportLayout::units(const ReportPage &page, size_t &i,
                                                    BandType type) const
{
    std::vector<Unit> result;
    const auto &bands = page.bands;
    while (i < bands.size() && bands[i]->type == type) {
        Unit u;
        u.band = bands[i++].get();
        while (i < bands.size() && bands[i]->type == BandType::Child)
            u.children.push_back(bands[i++].get());
        result.push_back(std::move(u));
        if (type == BandType::MasterData)
            break;
    }
    return result;
}

void ReportLayout::printMaster(const std::vector<Unit> &headers, const Unit &master,
                               const std::vector<Unit> &footers)
{
    if (!master.band->isVisible())
        return;
    UserDataSet &data = dataSet(master.band->dataSet);
    const int count = data.recordCount();
    if (count == 0)
        return;
    data.setRecNo(0);
    std::vector<const Unit *> block;
    for (const Unit &h : headers)
        block.push_back(&h);
    block.push_back(&master);
    printBlock(block);
    for (const Unit &h : headers)
        if (h.band->reprintOnNewPage)
            repeatHeaders.push_back(&h);
    for (int r = 1; r < count; ++r) {
        data.setRecNo(r);
        printBlock({&master});
    }
    repeatHeaders.clear();
    for (const Unit &f : footers)
        printBlock({&f});
}

void ReportLayout::layUnit(const Unit &u, std::vector<LaidBand> &laid)
{
    if (!bandVisible(*u.band))
        return;
    laid.push_back(layOutBand(*u.band, resolve));
    for (const Band *child : u.children)
        if (bandVisible(*child))
            laid.push_back(layOutBand(*child, resolve));
}

void ReportLayout::printBlock(const std::vector<const Unit *> &block)
{
    std::vector<LaidBand> laid;
    for (const Unit *u : block)
        layUnit(*u, laid);
    double total = 0;
    for (const LaidBand &b : laid)
        total += b.height;
    if (!laid.empty() && sheetHasBody && y + total > bodyBottom + kEpsilon) {
        finishSheet();
        startSheet(*current);
    }
    for (LaidBand &b : laid) {
        if (sheetHasBody && y + b.height > bodyBottom + kEpsilon) {
            finishSheet();
            startSheet(*current);
        }
        // A band taller than a whole sheet is cut and runs on over sheets.
        while (y + b.height > bodyBottom + kEpsilon && bodyBottom - y > 1) {
            auto [first, rest] = splitBand(b, bodyBottom - y);
            place(first);
            sheetHasBody = true;
            b = std::move(rest);
            finishSheet();
            startSheet(*current);
        }
        place(b);
        sheetHasBody = true;
    }
}

void ReportLayout::place(const LaidBand &band)
{
    const QPointF offset(current->marginLeft, y);
    auto &items = out.pages.back().items;
    for (const PreparedItem &item : band.items)
        items.push_back(translated(item, offset));
    y += band.height;
}

void ReportLayout::startSheet(const ReportPage &owner)
{
    if (sheetOpen)
        finishSheet();
    PreparedPage sheet;
    sheet.size = QSizeF(owner.width, owner.height);
    out.pages.push_back(std::move(sheet));
    sheetOpen = true;
    sheetOwner = &owner;
    sheetHasBody = false;
    y = owner.marginTop;
    bodyBottom = owner.height - owner.marginBottom;
    if (const Band *footer = bandOfType(owner, BandType::PageFooter); footer && footer->isVisible())
        bodyBottom -= footer->height;
    if (const Band *header = bandOfType(owner, BandType::PageHeader);
        header && bandVisible(*header)) {
        const ReportPage *printing = current;
        current = &owner;
        place(layOutBand(*header, resolve));
        current = printing;
    }
    std::vector<LaidBand> laid;
    for (const Unit *h : repeatHeaders)
        layUnit(*h, laid);
    for (const LaidBand &b : laid)
        place(b);
}

void ReportLayout::finishSheet()
{
    sheetOpen = false;
    const Band *footer = bandOfType(*sheetOwner, BandType::PageFooter);
    if (!footer || !bandVisible(*footer))
        return;
    const LaidBand laid = layOutBand(*footer, resolve);
    const ReportPage *printing = current;
    current = sheetOwner;
    y = sheetOwner->height - sheetOwner->marginBottom - laid.height;
    place(laid);
    current = printing;
}

void ReportLayout::numberSheets()
{
    const QString count = QString::number(out.pages.size());
    for (size_t i = 0; i < out.pages.size(); ++i) {
        const QString number = QString::number(i + 1);
        for (PreparedItem &item : out.pages[i].items)
            if (auto *t = std::get_if<PreparedText>(&item)) {
                t->text.replace(kPageToken, number);
                t->text.replace(kPagesToken, count);
            }
    }
}

} // namespace kront::report
