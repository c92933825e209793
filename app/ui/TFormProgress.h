#pragma once

#include "link/LinkInterfaces.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace kront
{

// The shared progress window: a small fixed window without border icons,
// centred on its owner, with one label and one horizontal bar. It has no
// behaviour of its own; the voltmeter link drives it while it connects.
class TFormProgress : public QDialog, public LinkProgress
{
    Q_OBJECT
public:
    explicit TFormProgress(QWidget *owner = nullptr);

    QLabel *Label1;
    QProgressBar *ProgressBar1;

    void setStep(int step) { barStep = step; }
    void stepIt(); // advances the bar by its step, stopping at the maximum

    // LinkProgress: shown modeless, centred on the owner.
    void start(const QString &title, const QString &label, int maximum) override;
    void setLabel(const QString &label) override;
    void advance() override { stepIt(); }
    void finish() override;

private:
    void centreOnOwner();

    int barStep = 1;
};

} // namespace kront
