#include "procedure/ui/InspectionPageWidget.h"

#include "common/ui/CellKeyFilter.h"
#include "common/ui/StringGrid.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kSerialColWidth = 73; // pixels
constexpr int kRemarkColWidth = 590;

QLabel *caption(const QString &name, const QString &text)
{
    auto *l = new QLabel(text);
    l->setObjectName(name);
    l->setWordWrap(true);
    return l;
}
} // namespace

InspectionPageWidget::InspectionPageWidget(QWidget *parent)
    : QWidget(parent), StringGridExternalSurvey(
                           new StringGrid(QStringLiteral("StringGridExternalSurvey"), 2, 9, 1, 1)),
      StringGridInsulationStrength(
          new StringGrid(QStringLiteral("StringGridInsulationStrength"), 9, 2, 1, 1)),
      StringGridInsulationResistance(
          new StringGrid(QStringLiteral("StringGridInsulationResistance"), 9, 3, 1, 1)),
      EditAmbientTemperature(new QLineEdit), EditPressure(new QLineEdit),
      EditHumidity(new QLineEdit), EditOtherFactors(new QLineEdit)
{
    setObjectName(QStringLiteral("JvWizardInteriorPage3"));
    layOutGrids();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption(QStringLiteral("LabelExternalSurvey"),
                              QStringLiteral("Замечания по внешнему осмотру")));
    layout->addWidget(StringGridExternalSurvey);
    layout->addWidget(caption(QStringLiteral("LabelInsulationStrength"),
                              QStringLiteral("Электрическая прочность изоляции ТП")));
    layout->addWidget(StringGridInsulationStrength);
    layout->addWidget(caption(QStringLiteral("LabelInsulationResistance"),
                              QStringLiteral("Электрическое сопротивление изоляции Rиз при "
                                             "различной полярности напряжения")));
    layout->addWidget(StringGridInsulationResistance);
    layout->addWidget(conditionsGroup());
    layout->addStretch();

    // A data cell is editable only where its position has a serial number.
    StringGridExternalSurvey->setEditableRule(
        [this](int, int row) { return !serialAt(row).isEmpty(); });
    StringGridInsulationStrength->setEditableRule(
        [this](int col, int) { return !serialAt(col).isEmpty(); });
    StringGridInsulationResistance->setEditableRule(
        [this](int col, int) { return !serialAt(col).isEmpty(); });
    attachFilter(StringGridExternalSurvey, InspectionGrid::Remarks);
    attachFilter(StringGridInsulationStrength, InspectionGrid::Strength);
    attachFilter(StringGridInsulationResistance, InspectionGrid::Resistance);
}

void InspectionPageWidget::attachFilter(StringGrid *grid, InspectionGrid kind)
{
    grid->setItemDelegate(
        new CellKeyFilter([kind](int, int, const QString &kept,
                                 QChar typed) { return InspectionAcceptsChar(kind, kept, typed); },
                          grid));
}

QWidget *InspectionPageWidget::conditionsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Условия поверки"));
    group->setObjectName(QStringLiteral("GroupBoxConditions"));
    auto *grid = new QGridLayout(group);
    const struct {
        QLineEdit *edit;
        const char *name;
        const char *label;
    } fields[] = {
        {EditAmbientTemperature, "EditAmbientTemperature", "Температура окружающего воздуха, °C:"},
        {EditPressure, "EditPressure", "Атмосферное давление, кПа:"},
        {EditHumidity, "EditHumidity", "Относительная влажность воздуха, %:"},
        {EditOtherFactors, "EditOtherFactors", "Другие влияющие факторы:"},
    };
    int row = 0;
    for (const auto &f : fields) {
        f.edit->setObjectName(QString::fromLatin1(f.name));
        grid->addWidget(new QLabel(QString::fromUtf8(f.label)), row, 0);
        grid->addWidget(f.edit, row, 1);
        ++row;
    }
    for (QLineEdit *e : {EditAmbientTemperature, EditPressure, EditHumidity})
        e->setMaxLength(10);
    EditOtherFactors->setMaxLength(kOtherFactorsMaxLength);
    grid->setColumnStretch(1, 1);
    return group;
}

void InspectionPageWidget::layOutGrids()
{
    StringGridExternalSurvey->setColWidth(0, kSerialColWidth);
    StringGridExternalSurvey->setColWidth(1, kRemarkColWidth);
    StringGridExternalSurvey->setCell(0, 0, QStringLiteral("Сер. № ТП"));
    StringGridExternalSurvey->setCell(1, 0, QStringLiteral("Замечания"));

    StringGridInsulationStrength->setDefaultColWidth(kSerialColWidth);
    StringGridInsulationStrength->setCell(0, 0, QStringLiteral("Сер. № ТП"));
    StringGridInsulationStrength->setCell(0, 1, QStringLiteral("Прочность"));

    StringGridInsulationResistance->setDefaultColWidth(kSerialColWidth);
    StringGridInsulationResistance->setCell(0, 0, QStringLiteral("Сер. № ТП"));
    StringGridInsulationResistance->setCell(0, 1, QStringLiteral("Rиз +"));
    StringGridInsulationResistance->setCell(0, 2, QStringLiteral("Rиз -"));

    for (StringGrid *g :
         {StringGridExternalSurvey, StringGridInsulationStrength, StringGridInsulationResistance})
        g->fitToCells();
}

QString InspectionPageWidget::serialAt(int position) const
{
    if (position < 1 || position > kInspectionPositions)
        return {};
    return StringGridInsulationStrength->cell(position, 0);
}

void InspectionPageWidget::prepare(const PositionTexts &serials, const ConditionsTexts &conditions)
{
    EditAmbientTemperature->setText(conditions.temperature);
    EditPressure->setText(conditions.pressure);
    EditHumidity->setText(conditions.humidity);
    EditOtherFactors->setText(conditions.otherFactors);
    for (StringGrid *g :
         {StringGridExternalSurvey, StringGridInsulationStrength, StringGridInsulationResistance})
        g->clearDataCells();
    for (int p = 1; p <= kInspectionPositions; ++p) {
        StringGridExternalSurvey->setCell(0, p, serials[p]);
        StringGridInsulationStrength->setCell(p, 0, serials[p]);
        StringGridInsulationResistance->setCell(p, 0, serials[p]);
    }
    for (StringGrid *g :
         {StringGridExternalSurvey, StringGridInsulationStrength, StringGridInsulationResistance})
        g->refreshFlags();
}

InspectionPage InspectionPageWidget::read() const
{
    InspectionPage page;
    for (int p = 1; p <= kInspectionPositions; ++p) {
        page.remarks[p] = StringGridExternalSurvey->cell(1, p);
        page.strengths[p] = StringGridInsulationStrength->cell(p, 1);
        page.resistancePos[p] = StringGridInsulationResistance->cell(p, 1);
        page.resistanceNeg[p] = StringGridInsulationResistance->cell(p, 2);
    }
    page.conditions = {EditAmbientTemperature->text(), EditPressure->text(), EditHumidity->text(),
                       EditOtherFactors->text()};
    return page;
}

void InspectionPageWidget::writeResistances(const InspectionPage &page)
{
    for (int p = 1; p <= kInspectionPositions; ++p) {
        StringGridInsulationResistance->setCell(p, 1, page.resistancePos[p]);
        StringGridInsulationResistance->setCell(p, 2, page.resistanceNeg[p]);
    }
}

} // namespace kront
