#pragma once

#include "procedure/MeterLink.h"

namespace kront
{

class VoltmeterLink;

// The program's voltmeter link as the verification procedure sees it. The link is not owned.
class VoltmeterLinkAdapter : public MeterLink
{
public:
    explicit VoltmeterLinkAdapter(VoltmeterLink &voltmeter) : link(voltmeter) {}

    bool linkConnected() const override;
    bool receiveOn() const override;
    bool meterReady() const override;
    bool meterOutOfRange() const override;
    QString meterStateText() const override;
    void setCurrentChannel(int channel) override;
    void setSavedStatusText(const QString &text) override;
    bool establishLink() override;
    bool startReceive() override;
    bool stopReceive() override;
    void pauseNotification() override;
    void wait(int ms) override;
    void closeLink() override;

private:
    VoltmeterLink &link;
};

} // namespace kront
