#pragma once

#include "reports/ReportContext.h"

#include <QList>
#include <functional>
#include <optional>

namespace kront
{

class Dialogs;
class ProgramSettings;

// File names of the document templates in Protocol/.
QString CertificateTemplateName(); // "Свидетельство ТП.fr3"
QString NoticeTemplateName();      // "Извещение ТП.fr3"

// Certificates of verification and notices of unfitness for the sensors of a
// finished verification (the button "Свидетельство/извещение").
class SvidIssuer
{
public:
    // The chooser window: shows the offered sensors and returns the sensor
    // IDs the operator ticked, or std::nullopt when cancelled.
    using Chooser = std::function<std::optional<QList<int>>(const std::vector<TSensOpts> &)>;

    // settings: the organisation name, the head's position, the document
    // numbering (advanced as documents are printed) and ReduceResultClass.
    SvidIssuer(ReportContext &context, Dialogs &dialogs, ProgramSettings &settings, Chooser chooser,
               ReportPresenter presenter);

    // The button "Свидетельство/извещение" of the results search (ButtonSvidClick).
    // Collects, lets the operator choose, and issues or reprints each chosen
    // sensor's document in list order. poverkaID 0: nothing selected, nothing done.
    void issueDocuments(int poverkaID);

    // Shows an issued document again from its Documents row, without its
    // dialog and without recording anything. False with a message when the
    // document or the sensor it was issued for cannot be found.
    bool ReprintDocument(int docID);

private:
    bool collect(int poverkaID);
    bool loadSensorRows();
    // Processes ChosenSensors[ChosenSensorPos]; false ends the run.
    bool issueCurrent();
    bool fillIssuedDoc(const TSensOpts &s);
    void setVariables(bool notice);
    bool recordPrinted(bool notice);
    void readBackNames();

    ReportContext &ctx;
    Dialogs &dialogs;
    ProgramSettings &programSettings;
    Chooser chooser;
    ReportPresenter presenter;
    bool periodic = false;
};

} // namespace kront
