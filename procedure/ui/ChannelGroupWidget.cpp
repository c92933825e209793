#include "procedure/ui/ChannelGroupWidget.h"

#include "common/ui/StringGrid.h"
#include "procedure/ui/DriftChart.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kReadingColWidth = 84; // pixels
const QString kWrongTPConnection =
    QStringLiteral("Проверьте правильность подключения контактов ТП!");
constexpr int kInputColWidth = 44;
constexpr int kPanelPadding = 12; // pixels: frame and margins of a status panel
constexpr int kChartMinWidth = 320;
constexpr int kEditPadding = 12; // pixels: frame and margins of a line edit

QLabel *namedLabel(const QString &name, const QString &text = QString())
{
    auto *l = new QLabel(text);
    l->setObjectName(name);
    return l;
}
} // namespace

ChannelGroupWidget::ChannelGroupWidget(int channel, QWidget *parent)
    : QGroupBox(QStringLiteral("Канал %1").arg(channel), parent), number(channel)
{
    const QString n = QString::number(channel);
    setObjectName(QStringLiteral("GroupBoxChannel") + n);
    grid = new StringGrid(QStringLiteral("StringGridChan") + n, 5, 6, 1, 1);
    grid->setDefaultColWidth(kReadingColWidth);
    grid->setColWidth(0, kInputColWidth);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->fitToCells();

    ButtonRecordMeas = new QPushButton(QStringLiteral("Записать показание"));
    ButtonRecordMeas->setObjectName(QStringLiteral("ButtonRecordMeas") + n);
    pair(captionConnectedInput, LabelConnectedInput, QStringLiteral("LabelConnectedInput") + n,
         QStringLiteral("Подключенный вход:"));
    pair(captionMeasValue, LabelMeasValue, QStringLiteral("LabelMeasValue") + n,
         QStringLiteral("Измеренное значение:"));
    pair(captionTemperatureDeviation, LabelTemperatureDeviation,
         QStringLiteral("LabelTemperatureDeviation") + n,
         QStringLiteral("Температурный ход, °С/мин:"));
    LabelCaptionThermostatTemperature =
        namedLabel(QStringLiteral("LabelCaptionThermostatTemperature") + n,
                   QStringLiteral("Температура печи, °С:"));
    LabelThermostatTemperature = namedLabel(QStringLiteral("LabelThermostatTemperature") + n);
    EditThermostatTemperature = new QLineEdit;
    EditThermostatTemperature->setObjectName(QStringLiteral("EditThermostatTemperature") + n);
    captionSKTemperature = namedLabel(QStringLiteral("LabelCaptionSKTemperature") + n,
                                      QStringLiteral("Температура свободных концов, °С:"));
    EditSKTemperature = new QLineEdit;
    EditSKTemperature->setObjectName(QStringLiteral("EditSKTemperature") + n);
    LabelWrongTPConnection =
        namedLabel(QStringLiteral("LabelWrongTPConnection") + n, kWrongTPConnection);
    LabelWrongTPConnection->setWordWrap(true);
    LabelWrongTPConnection->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    LabelWrongTPConnection->setVisible(false);

    statusBar = new QStatusBar;
    statusBar->setObjectName(QStringLiteral("StatusBar") + n);
    statusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        statusPanels[i] = namedLabel(QStringLiteral("StatusBar%1Panel%2").arg(n).arg(i));
        statusPanels[i]->setFrameShape(QFrame::Panel);
        statusPanels[i]->setFrameShadow(QFrame::Sunken);
    }
    // As wide as the longest stability text in the program's font.
    statusPanels[1]->setFixedWidth(statusPanels[1]->fontMetrics().horizontalAdvance(
                                       QStringLiteral("Температура не стабилизировалась")) +
                                   kPanelPadding);
    statusBar->addWidget(statusPanels[0], 1);
    statusBar->addPermanentWidget(statusPanels[1]);

    chart = new DriftChart(QStringLiteral("ChartFurnaceTemperature") + n);
    layOut();
    connect(ButtonRecordMeas, &QPushButton::clicked, this, &ChannelGroupWidget::recordClicked);
    applyControls(ChannelControls{});
}

void ChannelGroupWidget::pair(QLabel *&caption, QLabel *&value, const QString &name,
                              const QString &text)
{
    caption = namedLabel(
        QString(name).replace(QStringLiteral("Label"), QStringLiteral("LabelCaption")), text);
    value = namedLabel(name);
    value->setMinimumWidth(90);
    QFont f = value->font();
    f.setBold(true);
    value->setFont(f);
}

void ChannelGroupWidget::layOut()
{
    auto *values = new QGridLayout;
    int row = 0;
    values->addWidget(captionConnectedInput, row, 0);
    values->addWidget(LabelConnectedInput, row++, 1);
    values->addWidget(captionMeasValue, row, 0);
    values->addWidget(LabelMeasValue, row++, 1);
    values->addWidget(captionTemperatureDeviation, row, 0);
    values->addWidget(LabelTemperatureDeviation, row++, 1);
    values->addWidget(LabelCaptionThermostatTemperature, row, 0);
    auto *thermostat = new QHBoxLayout;
    thermostat->addWidget(LabelThermostatTemperature);
    thermostat->addWidget(EditThermostatTemperature);
    values->addLayout(thermostat, row++, 1);
    values->addWidget(captionSKTemperature, row, 0);
    values->addWidget(EditSKTemperature, row++, 1);
    values->setColumnStretch(1, 1);

    auto *right = new QVBoxLayout;
    right->addLayout(values);
    right->addWidget(ButtonRecordMeas, 0, Qt::AlignLeft);
    right->addStretch();
    for (QLineEdit *edit : {EditThermostatTemperature, EditSKTemperature})
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000,000")) +
                              kEditPadding);

    auto *top = new QHBoxLayout;
    top->addWidget(grid, 0, Qt::AlignTop);
    top->addLayout(right, 1);

    // The readings with the warning under them, the chart beside them and the status bar across
    // the group: the two groups stand one above the other on the page and each status text has
    // the width of the window.
    auto *readings = new QVBoxLayout;
    readings->addLayout(top);
    readings->addWidget(LabelWrongTPConnection);
    readings->addStretch();
    auto *body = new QHBoxLayout;
    body->addLayout(readings);
    body->addWidget(chart, 1);
    chart->setMinimumWidth(kChartMinWidth);
    // A status text longer than the window is cut, it never widens the window.
    statusPanels[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(statusBar);
    // The values keep the width of all their rows (all shown now) while rows come and go, so
    // that the chart beside them stays where it is.
    right->addStrut(right->sizeHint().width());
}

void ChannelGroupWidget::applyControls(const ChannelControls &c)
{
    setEnabled(c.groupEnabled);
    const bool wasHidden = ButtonRecordMeas->isHidden();
    ButtonRecordMeas->setVisible(c.recordVisible);
    if (c.beep && c.recordVisible && wasHidden)
        QApplication::beep();
    statusPanels[0]->setText(c.statusText);
    statusPanels[1]->setText(c.stabilityText);
    captionConnectedInput->setVisible(c.connectedInputVisible);
    LabelConnectedInput->setVisible(c.connectedInputVisible);
    LabelConnectedInput->setText(c.connectedInput);
    captionMeasValue->setVisible(c.measValueVisible);
    LabelMeasValue->setVisible(c.measValueVisible);
    LabelMeasValue->setText(c.measValue);
    captionTemperatureDeviation->setVisible(c.driftVisible);
    LabelTemperatureDeviation->setVisible(c.driftVisible);
    LabelTemperatureDeviation->setText(c.drift);
    LabelCaptionThermostatTemperature->setVisible(c.thermostatCaptionVisible);
    if (!c.thermostatCaption.isEmpty())
        LabelCaptionThermostatTemperature->setText(c.thermostatCaption);
    LabelThermostatTemperature->setVisible(c.thermostatValueVisible);
    LabelThermostatTemperature->setText(c.thermostatValue);
    EditThermostatTemperature->setVisible(c.thermostatEditVisible);
    captionSKTemperature->setVisible(c.skVisible);
    EditSKTemperature->setVisible(c.skVisible);
    QStringList warnings;
    if (c.wrongConnectionVisible)
        warnings << kWrongTPConnection;
    if (!c.connectionDiagnosis.isEmpty())
        warnings << c.connectionDiagnosis;
    LabelWrongTPConnection->setText(warnings.isEmpty() ? kWrongTPConnection : warnings.join(u'\n'));
    LabelWrongTPConnection->setVisible(!warnings.isEmpty());
    if (c.focus)
        edit(*c.focus)->setFocus();
}

void ChannelGroupWidget::showGrid(const ReadingGridText &text)
{
    for (int col = 0; col < 5; ++col)
        for (int row = 0; row < 6; ++row)
            grid->setCell(col, row, text[col][row]);
}

QLineEdit *ChannelGroupWidget::edit(ChannelEdit which) const
{
    return which == ChannelEdit::Thermostat ? EditThermostatTemperature : EditSKTemperature;
}

QString ChannelGroupWidget::statusText(int panel) const
{
    return statusPanels[panel == 1 ? 1 : 0]->text();
}

} // namespace kront
