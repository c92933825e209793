#include "procedure/ui/TFormPoverkaTP.h"

#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"
#include "common/ui/StringGrid.h"
#include "link/MeterLink.h"
#include "model/TPoverka.h"
#include "procedure/PoverkaEngine.h"
#include "procedure/ui/ChannelGroupWidget.h"
#include "procedure/ui/ConclusionPageWidget.h"
#include "procedure/ui/DriftChart.h"
#include "procedure/ui/InspectionPageWidget.h"
#include "procedure/ui/MeansPageWidget.h"
#include "procedure/ui/ParametersPageWidget.h"
#include "procedure/ui/ProgramMeterLink.h"
#include "procedure/ui/TFormSelectEtalSensorType.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kHelpTopicPoverkaTP = 4;

const char16_t *const kSubtitles[] = {
    u"Параметры поверки",
    u"Средства поверки",
    u"Внешний осмотр, электрическая прочность и электрическое сопротивление изоляции",
    u"",
    u"Заключение по результатам поверки",
};

QPushButton *wizardButton(const QString &name, const QString &text)
{
    auto *b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TFormPoverkaTP::TFormPoverkaTP(Database &database, Dialogs &dialogSet,
                               const ProgramSettings &settings, QWidget *parent)
    : QDialog(parent), page1(new ParametersPageWidget), page2(new MeansPageWidget),
      page3(new InspectionPageWidget), page4(nullptr), page5(new ConclusionPageWidget),
      db(database), dialogs(dialogSet), programSettings(settings), labelSubtitle(new QLabel),
      pages(new QStackedWidget)
{
    setObjectName(QStringLiteral("TFormPoverkaTP"));
    setWindowTitle(QStringLiteral("Поверка ТП"));
    setModal(true);
    setHelpTopic(this, kHelpTopicPoverkaTP);
    labelSubtitle->setObjectName(QStringLiteral("LabelSubtitle"));
    QFont f = labelSubtitle->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    labelSubtitle->setFont(f);
    labelSubtitle->setWordWrap(true);

    page4 = buildMeasurementPage();
    for (QWidget *p : {static_cast<QWidget *>(page1), static_cast<QWidget *>(page2),
                       static_cast<QWidget *>(page3), page4, static_cast<QWidget *>(page5)})
        pages->addWidget(p);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(labelSubtitle);
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    layout->addWidget(pages, 1);
    layout->addLayout(buildButtons());

    connect(page5, &ConclusionPageWidget::protocolClicked, this, &TFormPoverkaTP::protocolClick);
    makeLink = [this](PoverkaEngine &engine) -> std::unique_ptr<MeterLink> {
        return std::make_unique<ProgramMeterLink>(engine, this->dialogs, linkProgress,
                                                  programSettings);
    };
    resize(1280, 690);
    goToPage(1);
}

TFormPoverkaTP::~TFormPoverkaTP()
{
    end();
}

QWidget *TFormPoverkaTP::buildMeasurementPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("JvWizardInteriorPage4"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int c = 1; c <= 2; ++c) {
        auto *g = new ChannelGroupWidget(c);
        groups[c - 1] = g;
        layout->addWidget(g);
        connect(g, &ChannelGroupWidget::recordClicked, this, [this] {
            // ButtonRecordMeas1Click and ButtonRecordMeas2Click: both record on the
            // channel now measured.
            if (eng && !eng->isClosed())
                eng->RecordToStringGrid();
        });
    }
    return page;
}

QLayout *TFormPoverkaTP::buildButtons()
{
    ButtonHelp = wizardButton(QStringLiteral("ButtonHelp"), QStringLiteral("&Помощь"));
    ButtonBack = wizardButton(QStringLiteral("ButtonBack"), QStringLiteral("< &Назад"));
    ButtonNext = wizardButton(QStringLiteral("ButtonNext"), QStringLiteral("&Далее >"));
    ButtonFinish = wizardButton(QStringLiteral("ButtonFinish"), QStringLiteral("&Завершить"));
    ButtonCancel = wizardButton(QStringLiteral("ButtonCancel"), QStringLiteral("Прервать"));
    auto *row = new QHBoxLayout;
    row->addWidget(ButtonHelp);
    row->addStretch();
    for (QPushButton *b : {ButtonBack, ButtonNext, ButtonFinish, ButtonCancel})
        row->addWidget(b);
    connect(ButtonHelp, &QPushButton::clicked, this, &TFormPoverkaTP::HelpButtonClick);
    connect(ButtonBack, &QPushButton::clicked, this, &TFormPoverkaTP::BackButtonClick);
    connect(ButtonNext, &QPushButton::clicked, this, &TFormPoverkaTP::NextButtonClick);
    connect(ButtonFinish, &QPushButton::clicked, this, &TFormPoverkaTP::FinishButtonClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormPoverkaTP::CancelButtonClick);
    return row;
}

ChannelGroupWidget *TFormPoverkaTP::channelGroup(int channel) const
{
    return groups[channel == 2 ? 1 : 0];
}

// --- Life of one verification in the window ---

void TFormPoverkaTP::begin(TPoverka &pov, TBi1 &bi1)
{
    end();
    poverka = &pov;
    eng = std::make_unique<PoverkaEngine>(pov, bi1, db, dialogs, programSettings, *this);
    if (makeLink)
        link = makeLink(*eng);
    eng->setLink(link.get());
    nextOnPage4 = false;
    page4Subtitle.clear();
    clearMeasurementPage();
    page5->showConclusion({});
}

void TFormPoverkaTP::end()
{
    if (eng)
        eng->WindowClosing(); // stops readings and closes the port
    link.reset();             // no reading reaches the engine any more
    eng.reset();
    poverka = nullptr;
}

void TFormPoverkaTP::clearMeasurementPage()
{
    for (ChannelGroupWidget *g : groups) {
        g->applyControls(ChannelControls{});
        g->showGrid({});
        g->EditThermostatTemperature->clear();
        g->EditSKTemperature->clear();
        g->chart->showSamples({}, DriftMonitor::kNotJudged);
    }
}

void TFormPoverkaTP::PrepareNew(TPoverka &pov, TBi1 &bi1)
{
    begin(pov, bi1);
    const SetupPrepared prepared = eng->Prepare();
    page1->prepare(prepared.pointsCount, prepared.verifiers);
    page3->prepare(prepared.serials, prepared.conditions);
    goToPage(1);
}

void TFormPoverkaTP::ExecuteNew(TPoverka &pov, TBi1 &bi1)
{
    PrepareNew(pov, bi1);
    exec();
    end();
}

bool TFormPoverkaTP::ExecuteResumed(TPoverka &pov, TBi1 &bi1)
{
    begin(pov, bi1);
    goToPage(1);
    const bool prepared = eng->PrepareResumed() && !eng->isClosed();
    if (prepared)
        exec();
    end();
    return prepared;
}

// --- Navigation ---

int TFormPoverkaTP::currentPage() const
{
    return pages->currentIndex() + 1;
}

QString TFormPoverkaTP::subtitle() const
{
    return labelSubtitle->text();
}

void TFormPoverkaTP::goToPage(int page)
{
    const bool changed = currentPage() != page;
    pages->setCurrentIndex(page - 1);
    labelSubtitle->setText(page == 4 ? page4Subtitle : QString::fromUtf16(kSubtitles[page - 1]));
    updateButtons();
    if (!changed || !eng || eng->isClosed())
        return;
    if (page == 4)
        eng->JvWizardInteriorPage4Page();
    else if (page == 5)
        eng->JvWizardInteriorPage5Page();
}

void TFormPoverkaTP::updateButtons()
{
    const int page = currentPage();
    // Pages 4 and 5 work on a stored verification: there is no way back.
    ButtonBack->setVisible(page != 5);
    ButtonBack->setEnabled(page == 2 || page == 3);
    ButtonNext->setVisible(page != 5);
    ButtonNext->setEnabled(page != 4 || nextOnPage4);
    ButtonFinish->setVisible(page == 5);
    ButtonCancel->setVisible(page != 5);
    ButtonHelp->setVisible(page != 5);
}

void TFormPoverkaTP::BackButtonClick()
{
    if (currentPage() == 2 || currentPage() == 3)
        goToPage(currentPage() - 1);
}

void TFormPoverkaTP::NextButtonClick()
{
    if (!eng || eng->isClosed())
        return;
    switch (currentPage()) {
    case 1: {
        std::optional<QStringList> equipLines;
        if (eng->acceptParametersPage(page1->read(), equipLines)) {
            if (equipLines)
                page2->setLines(*equipLines);
            goToPage(2);
        }
        break;
    }
    case 2:
        if (eng->acceptMeansPage(page2->lines()))
            goToPage(3);
        break;
    case 3: {
        InspectionPage inspection = page3->read();
        const bool ok = eng->acceptInspectionPage(inspection);
        page3->writeResistances(inspection);
        if (ok && !eng->isClosed())
            goToPage(4);
        break;
    }
    case 4:
        if (eng->acceptMeasurementPage() && !eng->isClosed())
            goToPage(5);
        break;
    default: break;
    }
}

void TFormPoverkaTP::FinishButtonClick()
{
    // JvWizardInteriorPage5FinishButtonClick
    accept();
}

void TFormPoverkaTP::CancelButtonClick()
{
    reject();
}

void TFormPoverkaTP::HelpButtonClick()
{
    if (showHelp)
        showHelp(helpTopicOf(this));
}

void TFormPoverkaTP::protocolClick(int channel)
{
    if (!eng || !poverka)
        return;
    const int bunchID = eng->ProtocolBunchID(channel);
    if (bunchID > 0 && PrintProtocolBunch)
        PrintProtocolBunch(bunchID, poverka->ID);
}

bool TFormPoverkaTP::event(QEvent *e)
{
    if (e->type() == QEvent::Type(kStartMeasuringRunMessage)) {
        if (eng && !eng->isClosed())
            eng->StartMeasuringRun();
        return true;
    }
    return QDialog::event(e);
}

void TFormPoverkaTP::done(int result)
{
    // Finish, "Прервать", the close box and the engine's own closing all end here.
    if (eng)
        eng->WindowClosing();
    QDialog::done(result);
}

// --- PoverkaView ---

void TFormPoverkaTP::showPage(PoverkaPage page)
{
    goToPage(int(page));
}

void TFormPoverkaTP::setMeasurementSubtitle(const QString &text)
{
    page4Subtitle = text;
    if (currentPage() == 4)
        labelSubtitle->setText(text);
}

void TFormPoverkaTP::setNextEnabled(bool enabled)
{
    nextOnPage4 = enabled;
    updateButtons();
}

void TFormPoverkaTP::showChannelControls(int channel, const ChannelControls &controls)
{
    if (channel != 1 && channel != 2)
        return;
    channelGroup(channel)->applyControls(controls);
    Q_EMIT channelControlsShown(channel, controls);
}

void TFormPoverkaTP::showReadingGrid(int channel, const ReadingGridText &grid)
{
    if (channel == 1 || channel == 2)
        channelGroup(channel)->showGrid(grid);
}

QString TFormPoverkaTP::editText(int channel, ChannelEdit edit) const
{
    return channelGroup(channel)->edit(edit)->text();
}

void TFormPoverkaTP::setEditText(int channel, ChannelEdit edit, const QString &text)
{
    channelGroup(channel)->edit(edit)->setText(text);
}

std::optional<EtalChoice>
TFormPoverkaTP::selectEtalSensorType(const EtalChooserSetup &setup,
                                     const std::function<bool(const EtalChoice &)> &accept)
{
    TFormSelectEtalSensorType *chooser = etalChooser;
    if (!chooser) {
        if (!ownChooser)
            ownChooser = std::make_unique<TFormSelectEtalSensorType>(this);
        chooser = ownChooser.get();
    }
    return chooser->choose(setup, accept);
}

void TFormPoverkaTP::showDriftSamples(int channel, const std::vector<DriftSample> &samples,
                                      double spread)
{
    if (channel == 1 || channel == 2)
        channelGroup(channel)->chart->showSamples(samples, spread);
}

void TFormPoverkaTP::showConclusion(const std::array<ConclusionGrid, 3> &grids)
{
    page5->showConclusion(grids);
}

void TFormPoverkaTP::postStartMeasuringRun()
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(kStartMeasuringRunMessage)));
}

void TFormPoverkaTP::closeWindow()
{
    if (eng)
        eng->WindowClosing();
    if (isVisible())
        done(QDialog::Rejected);
}

} // namespace kront
