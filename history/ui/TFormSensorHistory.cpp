#include "history/ui/TFormSensorHistory.h"

#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"
#include "history/HistoryTable.h"
#include "history/ui/HistoryChart.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{

template <class W> W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

const QString kNote = QStringLiteral(
    "Δ — отклонение от НСХ, °C. Тренд — прямая наименьших квадратов по датам поверок; "
    "строится не менее чем по %1 поверкам и при менее чем %2 поверках ненадёжен.");

} // namespace

TFormSensorHistory::TFormSensorHistory(Database &database, Dialogs &dialogSet, QWidget *parent)
    : QWidget(parent, Qt::Window), db(database), dialogs(dialogSet)
{
    setObjectName(QStringLiteral("TFormSensorHistory"));
    setWindowTitle(QStringLiteral("История датчика"));
    setHelpTopic(this, 15);
    resize(1100, 680);

    RadioWorking = named(new QRadioButton(QStringLiteral("Рабочий ТП")), "RadioWorking");
    RadioReference = named(new QRadioButton(QStringLiteral("Эталонный ТП")), "RadioReference");
    RadioWorking->setChecked(true);
    EditSerial = named(new QLineEdit, "EditSerial");
    EditSerial->setMaxLength(8);
    EditType = named(new QLineEdit, "EditType");
    EditType->setMaxLength(20);
    EditYear = named(new QLineEdit, "EditYear");
    EditYear->setValidator(new QIntValidator(0, 9999, EditYear));
    EditYear->setMaximumWidth(70);
    auto *find = named(new QPushButton(QStringLiteral("Найти")), "ButtonFind");
    find->setDefault(true);
    connect(find, &QPushButton::clicked, this, &TFormSensorHistory::ButtonFindClick);
    connect(EditSerial, &QLineEdit::returnPressed, this, &TFormSensorHistory::ButtonFindClick);
    ComboBoxSensors = named(new QComboBox, "ComboBoxSensors");
    ComboBoxSensors->setMinimumContentsLength(30);
    connect(ComboBoxSensors, &QComboBox::activated, this, &TFormSensorHistory::showChosen);

    auto *top = new QGridLayout;
    top->addWidget(RadioWorking, 0, 0);
    top->addWidget(RadioReference, 1, 0);
    top->addWidget(new QLabel(QStringLiteral("Зав. №:")), 0, 1);
    top->addWidget(EditSerial, 0, 2);
    top->addWidget(new QLabel(QStringLiteral("Тип:")), 0, 3);
    top->addWidget(EditType, 0, 4);
    top->addWidget(new QLabel(QStringLiteral("Год вып.:")), 0, 5);
    top->addWidget(EditYear, 0, 6);
    top->addWidget(find, 0, 7);
    top->addWidget(new QLabel(QStringLiteral("Датчик:")), 1, 1);
    top->addWidget(ComboBoxSensors, 1, 2, 1, 6);
    top->setColumnStretch(8, 1);

    LabelSensor = named(new QLabel, "LabelSensor");
    GridHistory = named(new QTableWidget, "GridHistory");
    GridHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    GridHistory->verticalHeader()->setVisible(false);
    GridHistory->verticalHeader()->setDefaultSectionSize(20);
    connect(GridHistory, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { gridDoubleClicked(row); });

    chart = new HistoryChart;
    LabelTrend = named(new QLabel, "LabelTrend");
    LabelTrend->setWordWrap(true);
    LabelTrend->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    LabelTrend->setMinimumWidth(260);
    LabelTrend->setMaximumWidth(320);
    auto *lower = new QWidget;
    auto *lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(chart, 1);
    lowerLayout->addWidget(LabelTrend);

    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(GridHistory);
    split->addWidget(lower);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);

    auto *close = named(new QPushButton(QStringLiteral("Закрыть")), "ButtonClose");
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(LabelSensor);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    clearResult(QString());
}

void TFormSensorHistory::showEmpty()
{
    show();
    raise();
    activateWindow();
    EditSerial->setFocus();
}

void TFormSensorHistory::showSensorsOf(int poverkaID)
{
    RadioWorking->setChecked(true);
    const auto keys = SensorsOfVerification(db, poverkaID);
    show();
    raise();
    activateWindow();
    if (keys)
        offer(*keys, false);
}

void TFormSensorHistory::ButtonFindClick()
{
    const QString serial = EditSerial->text().trimmed();
    if (serial.isEmpty()) {
        dialogs.warning(QStringLiteral("Введите заводской номер датчика!"));
        EditSerial->setFocus();
        return;
    }
    const bool isReference = RadioReference->isChecked();
    const auto found = DBFindSensorsBySerial(db, serial, isReference);
    if (!found)
        return;
    offer(MatchingSensors(*found, EditType->text(), EditYear->text().toInt()), isReference);
}

void TFormSensorHistory::offer(const std::vector<StoredSensorKey> &keys, bool isReference)
{
    offered = keys;
    offeredReference = isReference;
    ComboBoxSensors->clear();
    for (const StoredSensorKey &k : keys)
        ComboBoxSensors->addItem(SensorKeyText(k));
    if (keys.empty()) {
        clearResult(QStringLiteral("Датчик не найден"));
        return;
    }
    ComboBoxSensors->setCurrentIndex(0);
    showChosen();
}

void TFormSensorHistory::showChosen()
{
    const int i = ComboBoxSensors->currentIndex();
    if (i < 0 || i >= int(offered.size()))
        return;
    const StoredSensorKey &key = offered[std::size_t(i)];
    if (offeredReference) {
        if (auto h = LoadReferenceHistory(db, key))
            showReference(*h);
    } else if (auto h = LoadSensorHistory(db, key)) {
        showSensor(*h);
    }
}

void TFormSensorHistory::clearResult(const QString &note)
{
    sensor.reset();
    reference.reset();
    LabelSensor->setText(note);
    fillGrid({}, {});
    chart->showSeries({}, QStringLiteral("Δ, °C"));
    LabelTrend->setText(kNote.arg(kMinTrendPoints).arg(kReliableTrendPoints));
}

void TFormSensorHistory::fillGrid(const QStringList &headers, const std::vector<QStringList> &rows)
{
    GridHistory->clear();
    GridHistory->setColumnCount(int(headers.size()));
    GridHistory->setHorizontalHeaderLabels(headers);
    GridHistory->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const QStringList &cells = rows[std::size_t(r)];
        for (int c = 0; c < int(cells.size()); ++c)
            GridHistory->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    GridHistory->resizeColumnsToContents();
    if (!headers.isEmpty())
        GridHistory->horizontalHeader()->setStretchLastSection(true);
}

void TFormSensorHistory::showSensor(const SensorHistory &h)
{
    reference.reset();
    sensor = h;
    LabelSensor->setText(QStringLiteral("ТП %1: завершённых поверок %2")
                             .arg(SensorKeyText(h.sensor))
                             .arg(h.entries.size()));
    fillGrid(HistoryHeaders(h), HistoryRows(h));
    std::vector<HistoryChart::Series> series;
    QStringList lines;
    for (const TemperatureTrend &t : HistoryTrends(h)) {
        HistoryChart::Series s;
        s.name = QStringLiteral("%1 °C").arg(t.nominal, 0, 'f', 0);
        s.tolerance = t.tolerance;
        for (const HistoryEntry &e : h.entries) {
            for (const PointDeviation &d : e.points) {
                if (d.nominal == t.nominal && d.deltaC)
                    s.points.emplace_back(e.use.finished, *d.deltaC);
            }
        }
        series.push_back(std::move(s));
        lines << TrendTexts(t, h.declaredClass).join(QStringLiteral("\n"));
    }
    chart->showSeries(series, QStringLiteral("Δ, °C"));
    lines << kNote.arg(kMinTrendPoints).arg(kReliableTrendPoints);
    LabelTrend->setText(lines.join(QStringLiteral("\n\n")));
}

void TFormSensorHistory::showReference(const ReferenceHistory &h)
{
    sensor.reset();
    reference = h;
    LabelSensor->setText(QStringLiteral("Эталон %1").arg(SensorKeyText(h.reference)));
    fillGrid(ReferenceSpreadHeaders(), ReferenceSpreadRows(h));
    LabelTrend->setText(
        ReferenceSummary(h).join(QStringLiteral("\n")) +
        QStringLiteral("\n\nОтклонение — показание температуры печи по эталону минус "
                       "температура точки (показание, округлённое до 10 °C)."));
    std::vector<HistoryChart::Series> series;
    for (const TemperatureSpread &s : h.spreads)
        series.push_back({QStringLiteral("%1 °C").arg(s.nominal, 0, 'f', 0), s.offsets, 0.0});
    chart->showSeries(series, QStringLiteral("Отклонение, °C"));
}

void TFormSensorHistory::gridDoubleClicked(int row)
{
    if (!sensor || row < 0 || row >= int(sensor->entries.size()) || !openProtocol)
        return;
    const SensorUse &u = sensor->entries[std::size_t(row)].use;
    openProtocol(u.poverkaID, u.channel);
}

} // namespace kront
