#pragma once

#include "procedure/SetupPages.h"

#include <QWidget>

class QLineEdit;

namespace kront
{

class StringGrid;

// Page 3 "Внешний осмотр, электрическая прочность и электрическое
// сопротивление изоляции": three grids over the positions 1..8 (inputs 1..4
// of channel 1, then of channel 2). A position is editable only when its
// header shows the serial number of a sensor. Below them the group
// "Условия поверки": ambient temperature, pressure, humidity and other factors.
class InspectionPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit InspectionPageWidget(QWidget *parent = nullptr);

    // Headers written, every data cell empty, serial numbers in the headers.
    // The conditions fields get the given defaults.
    void prepare(const PositionTexts &serials, const ConditionsTexts &conditions = {});
    InspectionPage read() const;
    // Puts the normalised resistance texts back into their cells.
    void writeResistances(const InspectionPage &page);

    QString serialAt(int position) const;

    StringGrid *StringGridExternalSurvey;
    StringGrid *StringGridInsulationStrength;
    StringGrid *StringGridInsulationResistance;
    QLineEdit *EditAmbientTemperature;
    QLineEdit *EditPressure;
    QLineEdit *EditHumidity;
    QLineEdit *EditOtherFactors;

private:
    void layOutGrids();
    QWidget *conditionsGroup();
    void attachFilter(StringGrid *grid, InspectionGrid kind);
};

} // namespace kront
