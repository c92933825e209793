// Page 5: the conclusion per channel and input, and the bunches of the protocol buttons.
#include "common/Dialogs.h"
#include "model/TPoverka.h"
#include "procedure/PoverkaEngine.h"
#include "procedure/ResultForTP.h"

namespace kront
{

void PoverkaEngine::JvWizardInteriorPage5Page()
{
    std::array<ConclusionGrid, 3> conclusionGrids; // grids 1..2
    for (int slot = 1; slot <= 2 && !closed; ++slot) {
        const TBunch *bunch = pov.Bunches[slot];
        if (!bunch)
            continue;
        ConclusionGrid &grid = conclusionGrids[bunch->ChannelNum == 1 ? 1 : 2];
        bool failed = false;
        for (int input = 1; input <= 4; ++input) {
            grid.rows[input] = {};
            if (!bunch->Sensors[input])
                continue;
            std::array<QString, 4> texts;
            if (!DBGetResultForTP(db, bunch->ID, input, texts)) {
                dialogs.error(QStringLiteral("Не удалось прочитать результаты поверки из базы "
                                             "данных!"));
                failed = true;
                break;
            }
            grid.rows[input] = {texts[0], texts[1], texts[2], texts[3]};
        }
        if (failed)
            break;
    }
    view.showConclusion(conclusionGrids);
}

int PoverkaEngine::ProtocolBunchID(int channel) const
{
    for (int slot = 1; slot <= 2; ++slot) {
        const TBunch *bunch = pov.Bunches[slot];
        if (bunch && int(bunch->ChannelNum) == channel)
            return bunch->ID;
    }
    return 0;
}

} // namespace kront
