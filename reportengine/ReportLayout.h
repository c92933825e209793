#pragma once

#include "reportengine/BandLayout.h"
#include "reportengine/PreparedReport.h"
#include "reportengine/ReportModel.h"
#include "reportengine/UserDataSet.h"

#include <functional>
#include <vector>

namespace kront::report
{

// Prepares a report: walks the pages of a template in order and their bands
// top to bottom, repeating each master data band once per record of its
// user data set, and cuts the result into sheets.
//
// - A page starts a new sheet unless it prints on the previous page, in which
//   case its bands continue below the last band of the sheet before.
// - Page header and footer bands frame every sheet their page starts; the
//   footer sits at the bottom margin.
// - Title bands print once where they stand; summary bands once after the
//   page's other bands.
// - Data header bands print before the first record (together with it on one
//   sheet), data footer bands after the last one; both are left out when the
//   data set has no records or the master band is hidden. A data header with
//   reprintOnNewPage repeats at the top of each sheet the records run onto.
// - Child bands print after the band they follow, whenever it prints.
// - A band (with its children) that does not fit on the rest of the sheet
//   goes to a new sheet; a band taller than a whole sheet (a long stretching
//   text) is cut between text lines and runs on over as many sheets as it
//   needs, so no text is lost.
// - #PAGE and #PAGES in texts become the sheet number and the sheet count.
class ReportLayout
{
public:
    using DataSetLookup = std::function<UserDataSet &(const QString &name)>;

    ReportLayout(const ReportTemplate &tmpl, NameResolver resolve, DataSetLookup dataSet);
    PreparedReport run();

private:
    struct Unit {
        const Band *band = nullptr;
        std::vector<const Band *> children;
    };

    void printPage(const ReportPage &page);
    std::vector<Unit> units(const ReportPage &page, size_t &i, BandType type) const;
    void printMaster(const std::vector<Unit> &headers, const Unit &master,
                     const std::vector<Unit> &footers);
    // Lays out visible units and places them, moving to a new sheet first
    // when they do not fit together on the rest of this one.
    void printBlock(const std::vector<const Unit *> &block);
    void layUnit(const Unit &u, std::vector<LaidBand> &out);

    void startSheet(const ReportPage &owner);
    void finishSheet();
    void place(const LaidBand &band);
    bool bandVisible(const Band &b) const;
    const Band *bandOfType(const ReportPage &page, BandType type) const;
    void numberSheets();

    const ReportTemplate &tmpl;
    NameResolver resolve;
    DataSetLookup dataSet;

    PreparedReport out;
    bool sheetOpen = false;
    const ReportPage *sheetOwner = nullptr; // the page whose header and footer frame the sheet
    const ReportPage *current = nullptr;    // the page whose bands are printing
    double y = 0;                           // mm from the top of the paper
    double bodyBottom = 0;                  // mm: where the page footer begins
    bool sheetHasBody = false;
    std::vector<const Unit *> repeatHeaders;
};

} // namespace kront::report
