#include "model/CurrentVerification.h"

#include "model/ChannelBunches.h"

namespace kront
{

TPoverka &CurrentVerification::beginNew(ChannelBunches &bunches, const QDateTime &now)
{
    poverka = std::make_unique<TPoverka>();
    poverka->BeginNew(now);
    for (int slot = 1; slot <= 2; ++slot) {
        if (TBunch *bunch = bunches.bunch(slot))
            poverka->AttachBunch(slot, bunch);
    }
    bi1 = std::make_unique<TBi1>();
    return *poverka;
}

TPoverka &CurrentVerification::adopt(std::unique_ptr<TPoverka> verification)
{
    poverka = std::move(verification);
    bi1 = std::make_unique<TBi1>();
    return *poverka;
}

void CurrentVerification::end()
{
    bi1.reset();
    poverka.reset();
}

} // namespace kront
