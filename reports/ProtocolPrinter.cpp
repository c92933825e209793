#include "reports/ProtocolPrinter.h"

#include "common/AppHome.h"
#include "common/Dialogs.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "reportengine/Expression.h"
#include "reports/PoverkaLoader.h"
#include "settings/ProtIniFile.h"

#include <QFileInfo>

namespace kront
{

namespace
{

const QString kReadFailure = QStringLiteral("Не удалось прочитать результат поверки при "
                                            "формировании протокола поверки ТП! Операция не "
                                            "выполнена.");

int slotOfBunch(const TPoverka &poverka, int bunchID)
{
    for (int slot = 1; slot <= 2; ++slot) {
        if (poverka.Bunches[slot] && poverka.Bunches[slot]->ID == bunchID)
            return slot;
    }
    return 0;
}

// "Протокол 17" or "Протокол 17-2" (a "/" cannot stand in a file name).
QString suggestedFileName(const QString &povNum, const TPoverka &poverka, const TBunch &bunch)
{
    QString name = QStringLiteral("Протокол ") + povNum;
    if (poverka.Bunches[1] && poverka.Bunches[2])
        name += u'-' + QString::number(bunch.ChannelNum);
    name.replace(u'/', u'-');
    name.replace(u'\\', u'-');
    return name + QStringLiteral(".pdf");
}

// Clears the protocol state however the printing ends.
struct ProtocolStateGuard {
    ProtocolState &state;
    ~ProtocolStateGuard()
    {
        state.clear();
        state.poverka = nullptr;
    }
};

} // namespace

QString ProtocolTemplateName(bool electrode)
{
    return electrode ? QStringLiteral("Протокол поверки ТП методом поэлектродного сличения.fr3")
                     : QStringLiteral("Протокол поверки ТП методом прямых измерений.fr3");
}

ProtocolPrinter::ProtocolPrinter(ReportContext &context, Dialogs &dialogSet,
                                 ReportPresenter presentReport)
    : ctx(context), dialogs(dialogSet), presenter(std::move(presentReport))
{
}

void ProtocolPrinter::printProtocols(int poverkaID)
{
    if (poverkaID <= 0)
        return;
    PrintStored(poverkaID, 0);
}

int ProtocolPrinter::PrintStored(int poverkaID, int channel)
{
    const std::unique_ptr<TPoverka> poverka =
        LoadPoverkaForProtocol(ctx.database(), dialogs, poverkaID);
    if (!poverka)
        return -1;
    if (channel > 0) {
        for (int slot = 1; slot <= 2; ++slot) {
            if (poverka->Bunches[slot] && int(poverka->Bunches[slot]->ChannelNum) == channel)
                return PrintProtocolBunch(*poverka, poverka->Bunches[slot]->ID, poverkaID) ? 1 : 0;
        }
        dialogs.error(QStringLiteral("В поверке нет пучка ТП канала %1!").arg(channel));
        return -1;
    }
    int shown = 0;
    for (int slot = 1; slot <= 2; ++slot) {
        if (poverka->Bunches[slot] &&
            PrintProtocolBunch(*poverka, poverka->Bunches[slot]->ID, poverkaID))
            ++shown;
    }
    return shown;
}

bool ProtocolPrinter::PrintChannel(TPoverka &poverka, int channel)
{
    for (int slot = 1; slot <= 2; ++slot) {
        const TBunch *b = poverka.Bunches[slot];
        if (b && int(b->ChannelNum) == channel)
            return PrintProtocolBunch(poverka, b->ID, poverka.ID);
    }
    dialogs.error(QStringLiteral("В поверке нет пучка ТП канала %1!").arg(channel));
    return false;
}

bool ProtocolPrinter::PrintProtocolBunch(TPoverka &poverka, int bunchID, int poverkaID)
{
    ProtocolState &state = ctx.protocol;
    ProtocolStateGuard guard{state};
    state.clear();
    state.poverka = &poverka;
    state.ProtBunchID = bunchID;
    state.ProtChannelSlot = slotOfBunch(poverka, bunchID);
    TBunch *bunch = state.bunch();
    if (!bunch)
        return false;

    const bool electrode = poverka.Methodic != 0;
    const QString path = AppHome::templateFile(ProtocolTemplateName(electrode));
    if (!QFileInfo::exists(path)) {
        dialogs.error(QStringLiteral("Файл шаблона протокола '") + path +
                      QStringLiteral("' не найден! Операция не выполнена."));
        return false;
    }
    state.ProtPointsCount = ProtocolPointsCount(poverka, *bunch);
    const int slots = state.ProtPointsCount + (poverka.InstabilityCheckNeeded ? 2 : 0);
    if (electrode)
        state.ProtPointsElectrode.resize(slots);
    else
        state.ProtPointsDirect.resize(slots);
    if (!DBGetProtData(ctx.database(), state, poverkaID, bunchID)) {
        dialogs.error(kReadFailure);
        return false;
    }
    if (!setUpReport(poverka, path))
        return false;
    if (presenter)
        presenter(ctx.report, suggestedFileName(poverka.PovNum, poverka, *bunch));
    return true;
}

bool ProtocolPrinter::setUpReport(TPoverka &poverka, const QString &path)
{
    report::Report &r = ctx.report;
    r.reset();
    if (!r.loadFromFile(path)) {
        // Printing nothing without a word would leave the operator guessing.
        dialogs.error(QStringLiteral("Не удалось загрузить шаблон протокола '") + path +
                      QStringLiteral("': ") + r.errorString());
        return false;
    }
    r.setVariable(QStringLiteral("PovName"), report::quoted(ProtIniFile().povName()));
    // A template of the lab's own without the instability pages still prints.
    const bool instability = poverka.InstabilityCheckNeeded;
    for (const char *band : {"MasterData2", "MasterData3"}) {
        if (report::Band *b = r.findBand(QLatin1String(band)))
            b->setVisible(instability);
    }
    if (report::ReportPage *page = r.findPage(QStringLiteral("Page3")))
        page->setPrintOnPreviousPage(!instability);
    r.userDataSet(QStringLiteral("frxUserDataSet1")).setRecordCount(ctx.protocol.ProtPointsCount);
    r.userDataSet(QStringLiteral("frxUserDataSet2")).setRecordCount(2);
    r.userDataSet(QStringLiteral("frxUserDataSet3")).setRecordCount(1);
    return true;
}

} // namespace kront
