#include "registry/RegistryPreview.h"

#include <algorithm>

namespace kront
{

int RegistryPreview::exportedBeforeCount() const
{
    return int(std::count_if(results.begin(), results.end(),
                             [](const Result &r) { return r.exportedBefore; }));
}

} // namespace kront
