#pragma once

#include "metrology/DriftCheck.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

// What the verification engine tells the verification window (TFormPoverkaTP). The engine
// decides; the window only shows. Every text here is final (captions, numbers with comma).
namespace kront
{

// Wizard pages, 1-based as the operator counts them.
enum class PoverkaPage {
    Parameters = 1,
    Means = 2,
    Inspection = 3,
    Measurement = 4,
    Conclusion = 5
};

// The edits of a channel group that the operator types into.
enum class ChannelEdit {
    Thermostat,    // EditThermostatTemperature: mercury thermometer reading, °C
    SKTemperature, // EditSKTemperature: cold-junction temperature of the verified TPs, °C
};

// The state of every control of one channel group (group box "Канал 1"/"Канал 2") as
// PrepareControls leaves it. The window applies all fields at once.
struct ChannelControls {
    bool groupEnabled = true; // the group box and all its controls (EnableChannelControls)

    bool recordVisible = false; // ButtonRecordMeas "Записать показание"
    bool beep = false;          // play the system information sound once (button just shown)

    QString statusText;    // first (wide) status panel
    QString stabilityText; // second status panel

    bool connectedInputVisible = false; // "Подключенный вход:" + LabelConnectedInput
    QString connectedInput;             // InputLabel of the channel's switch position

    bool measValueVisible = false; // "Измеренное значение:" + LabelMeasValue
    QString measValue;             // text recorded by "Записать показание"

    bool driftVisible = false; // "Температурный ход, °С/мин:" + LabelTemperatureDeviation
    QString drift;

    // LabelCaptionThermostatTemperature: "Температура печи, °С:" or "Температура термостата, °С:"
    bool thermostatCaptionVisible = false;
    QString thermostatCaption;
    bool thermostatValueVisible = false; // LabelThermostatTemperature (furnace temperature)
    QString thermostatValue;
    bool thermostatEditVisible = false; // EditThermostatTemperature

    bool skVisible = false; // "Температура свободных концов, °С:" with EditSKTemperature

    bool wrongConnectionVisible = false; // red LabelWrongTPConnection
    // The likely connection mistake behind the value shown, in the same red label; empty none.
    QString connectionDiagnosis;

    // Edit that takes the keyboard focus when these controls are applied (none when empty).
    std::optional<ChannelEdit> focus;
};

// A reading grid StringGridChan1/2: 5 columns x 6 rows, cells[col][row]; column 0 and row 0
// are the fixed headers.
using ReadingGridText = std::array<std::array<QString, 6>, 5>;

// The reference thermometer chooser TFormSelectEtalSensorType, per channel 1..2 ([0] unused).
// Items: 0 "Эталонный ртутный стеклянный термометр", 1 "Эталонный ТП типа ППО/ПРО".
struct EtalChooserSetup {
    std::array<bool, 3> enabled{};           // the radio group of the channel is enabled
    std::array<int, 3> selected{-1, -1, -1}; // preselected item, -1 none
};
using EtalChoice = std::array<int, 3>; // chosen item per channel, -1 none

// One row of a conclusion grid StringGrid1Prot/2Prot (row = input 1..4).
struct ConclusionRow {
    QString nsh, serial, klass, conclusion; // columns 0..3; all empty for an empty input
};
struct ConclusionGrid {
    std::array<ConclusionRow, 5> rows; // inputs 1..4, [0] unused
};

class PoverkaView
{
public:
    virtual ~PoverkaView() = default;

    // The wizard: current page, page subtitle (page 4 changes it per step), Next of page 4.
    virtual void showPage(PoverkaPage page) = 0;
    virtual void setMeasurementSubtitle(const QString &subtitle) = 0;
    virtual void setNextEnabled(bool enabled) = 0;

    // Channel c = 1, 2: its controls, its reading grid.
    virtual void showChannelControls(int channel, const ChannelControls &controls) = 0;
    virtual void showReadingGrid(int channel, const ReadingGridText &grid) = 0;
    // The text of an edit of channel c, and writing a normalised text back into it.
    virtual QString editText(int channel, ChannelEdit edit) const = 0;
    virtual void setEditText(int channel, ChannelEdit edit, const QString &text) = 0;

    // Shows the chooser modally. On "Выбрать" the window calls accept(choice); accept shows
    // its own warnings and returns false to keep the chooser open. nullopt on "Отмена".
    virtual std::optional<EtalChoice>
    selectEtalSensorType(const EtalChooserSetup &setup,
                         const std::function<bool(const EtalChoice &)> &accept) = 0;

    // The furnace temperature samples of the drift history of channel c (the live chart), with
    // the current spread (°C; 3000 when not judged). An empty list clears the chart.
    virtual void showDriftSamples(int channel, const std::vector<DriftSample> &samples,
                                  double spread) = 0;

    // Page 5: the two conclusion grids (grid 1 for ChannelNum 1, grid 2 for ChannelNum 2).
    virtual void showConclusion(const std::array<ConclusionGrid, 3> &grids) = 0;

    // Posts window message 1026; the window calls PoverkaEngine::StartMeasuringRun from its
    // event queue later, never inside the current handler.
    virtual void postStartMeasuringRun() = 0;

    // Closes the verification window (after the engine has stopped reception).
    virtual void closeWindow() = 0;
};

} // namespace kront
