#pragma once

#include "reports/ReportContext.h"

namespace kront
{

class Database;
class Dialogs;
class TPoverka;

// File names of the protocol templates in Protocol/.
QString ProtocolTemplateName(bool electrode);

// Prints verification protocols, one per bunch (channel).
class ProtocolPrinter
{
public:
    ProtocolPrinter(ReportContext &context, Dialogs &dialogs, ReportPresenter presenter);

    // The button "Протокол" of the results search (ButtonPrintProtocolClick): loads the stored
    // verification `poverkaID` (0: nothing selected, nothing done) and prints
    // the protocol of each of its bunches in slot order.
    void printProtocols(int poverkaID);

    // The protocol of the bunch `bunchID` of a verification object that holds
    // it in slot 1 or 2 with its sensors loaded. False when nothing was shown.
    bool PrintProtocolBunch(TPoverka &poverka, int bunchID, int poverkaID);

    // The protocol of the bunch measured on `channel` (1 or 2). False with a
    // message when the verification has no bunch on that channel.
    bool PrintChannel(TPoverka &poverka, int channel);

    // Each bunch of a stored verification, or only that of `channel` (0: all).
    // The number of protocols shown; -1 when the verification could not be
    // loaded or the channel has no bunch (message shown).
    int PrintStored(int poverkaID, int channel);

private:
    bool setUpReport(TPoverka &poverka, const QString &path);

    ReportContext &ctx;
    Dialogs &dialogs;
    ReportPresenter presenter;
};

} // namespace kront
