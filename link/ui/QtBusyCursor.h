#pragma once

#include "link/LinkInterfaces.h"

namespace kront
{

// The hourglass cursor over the whole application during a blocking exchange.
class QtBusyCursor : public BusyCursor
{
public:
    void begin() override;
    void end() override;
};

} // namespace kront
