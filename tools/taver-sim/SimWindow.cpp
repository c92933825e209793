#include "SimWindow.h"

#include "SimEngine.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace kront::sim
{

namespace
{

const char *const kPositionLabels[] = {
    "T, прямое",         "1, прямое",         "2, прямое",
    "3, прямое",         "4, прямое",         "0",
    "T, поэлектродное",  "+1, поэлектродное", "-1, поэлектродное",
    "+2, поэлектродное", "-2, поэлектродное", "+3, поэлектродное",
    "-3, поэлектродное", "+4, поэлектродное", "-4, поэлектродное"};

QDoubleSpinBox *spin(double low, double high, double value, int decimals)
{
    auto *s = new QDoubleSpinBox;
    s->setRange(low, high);
    s->setDecimals(decimals);
    s->setValue(value);
    return s;
}

} // namespace

SimWindow::SimWindow(SimEngine &simulation, const QString &stepFilePath, QWidget *parent)
    : QWidget(parent), engine(simulation), stepFile(stepFilePath)
{
    setWindowTitle(QStringLiteral("Имитатор установки — %1").arg(engine.devicePath()));
    auto *controls = new QHBoxLayout;
    controls->addWidget(furnaceBox());
    controls->addWidget(switchBox());
    controls->addWidget(meterBox());
    controls->addWidget(faultBox());

    commandLine = new QLineEdit;
    commandLine->setPlaceholderText(QStringLiteral("команда (help - список команд)"));
    connect(commandLine, &QLineEdit::returnPressed, this, [this] {
        run(commandLine->text());
        commandLine->clear();
    });
    state = new QLabel;
    state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    expected = new QLabel(QStringLiteral("Программа ожидает: -"));
    expected->setObjectName(QStringLiteral("LabelExpected"));
    expected->setWordWrap(true);
    expected->setStyleSheet(QStringLiteral("font-weight: bold"));
    log = new QPlainTextEdit;
    log->setReadOnly(true);
    log->setMaximumBlockCount(1000);
    log->setFont(QFont(QStringLiteral("Monospace")));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Порт: %1").arg(engine.devicePath())));
    layout->addWidget(expected);
    layout->addLayout(controls);
    layout->addWidget(state);
    layout->addWidget(commandLine);
    layout->addWidget(log, 1);

    connect(&engine, &SimEngine::frameLogged, log, &QPlainTextEdit::appendPlainText);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SimWindow::refresh);
    timer->start(500);
    refresh();
}

QWidget *SimWindow::furnaceBox()
{
    auto *box = new QGroupBox(QStringLiteral("Печь"));
    auto *form = new QFormLayout(box);
    const Installation &in = engine.installation;
    setPoint = spin(-200, 1800, in.furnace.setPoint, 1);
    tau = spin(0, 36000, in.furnace.tauSeconds, 0);
    noise = spin(0, 10, in.noiseMv, 4);
    coldJunction = spin(-50, 50, in.coldJunction, 1);
    form->addRow(QStringLiteral("Уставка, °C"), setPoint);
    form->addRow(QStringLiteral("Постоянная времени, с"), tau);
    form->addRow(QStringLiteral("Шум, мВ"), noise);
    form->addRow(QStringLiteral("Свободные концы, °C"), coldJunction);
    auto *apply = new QPushButton(QStringLiteral("Применить"));
    form->addRow(apply);
    connect(apply, &QPushButton::clicked, this, [this] {
        run(QStringLiteral("tau %1").arg(tau->value()));
        run(QStringLiteral("noise %1").arg(noise->value()));
        run(QStringLiteral("coldjunction %1").arg(coldJunction->value()));
        run(QStringLiteral("furnace %1").arg(setPoint->value()));
    });
    return box;
}

QWidget *SimWindow::switchBox()
{
    auto *box = new QGroupBox(QStringLiteral("Переключатели БИ1"));
    auto *form = new QFormLayout(box);
    for (int ch = 1; ch <= 2; ++ch) {
        switches[ch] = new QComboBox;
        for (int code = 0; code < 15; ++code)
            switches[ch]->addItem(QString::fromUtf8(kPositionLabels[code]), code);
        switches[ch]->setCurrentIndex(engine.installation.switches[ch]);
        connect(switches[ch], &QComboBox::activated, this,
                [this, ch](int index) { run(QStringLiteral("switch %1 %2").arg(ch).arg(index)); });
        form->addRow(QStringLiteral("Канал %1").arg(ch), switches[ch]);
    }
    return box;
}

QWidget *SimWindow::meterBox()
{
    auto *box = new QGroupBox(QStringLiteral("Вольтметр"));
    auto *form = new QFormLayout(box);
    warmup = new QComboBox;
    warmup->addItems({QStringLiteral("="), QStringLiteral("<"), QStringLiteral(">")});
    connect(warmup, &QComboBox::activated, this,
            [this] { run(QStringLiteral("warmup ") + warmup->currentText()); });
    form->addRow(QStringLiteral("Прогрев"), warmup);
    return box;
}

QWidget *SimWindow::faultBox()
{
    auto *box = new QGroupBox(QStringLiteral("Неисправности"));
    auto *form = new QFormLayout(box);
    faultKind = new QComboBox;
    faultKind->addItems({"data-checksum", "header-checksum", "addr", "type", "garbage", "split",
                         "drop", "silence", "ack", "stuck"});
    faultEvery = new QSpinBox;
    faultEvery->setRange(1, 1000);
    ackCode = new QSpinBox;
    ackCode->setRange(0, 255);
    auto *set = new QPushButton(QStringLiteral("Включить"));
    auto *off = new QPushButton(QStringLiteral("Выключить все"));
    form->addRow(QStringLiteral("Вид"), faultKind);
    form->addRow(QStringLiteral("Каждый N-й кадр"), faultEvery);
    form->addRow(QStringLiteral("Код ответа"), ackCode);
    form->addRow(set, off);
    connect(set, &QPushButton::clicked, this, [this] {
        const QString kind = faultKind->currentText();
        run(kind == u"ack"
                ? QStringLiteral("fault ack %1 %2").arg(ackCode->value()).arg(faultEvery->value())
                : QStringLiteral("fault %1 %2").arg(kind).arg(faultEvery->value()));
    });
    connect(off, &QPushButton::clicked, this, [this] { run(QStringLiteral("fault off")); });
    return box;
}

void SimWindow::run(const QString &command)
{
    const QString reply = engine.command(command);
    log->appendPlainText(QStringLiteral("> %1\n%2").arg(command, reply));
    refresh();
}

// The program in the training mode writes the step its wizard expects
// (the set-point step and the switch positions of its last prompt).
void SimWindow::showExpectedStep()
{
    if (stepFile.isEmpty())
        return;
    QFile f(stepFile);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QString step = QString::fromUtf8(f.readAll()).trimmed();
    if (!step.isEmpty())
        expected->setText(QStringLiteral("Программа ожидает: ") + step);
}

void SimWindow::refresh()
{
    showExpectedStep();
    QStringList faults;
    const auto active = engine.meter.faults();
    for (auto it = active.begin(); it != active.end(); ++it)
        faults << QStringLiteral("%1/%2").arg(faultKindText(it.key())).arg(it.value());
    state->setText(engine.command(QStringLiteral("status")).mid(3) +
                   QStringLiteral("  неисправности: %1")
                       .arg(faults.isEmpty() ? QStringLiteral("нет") : faults.join(u' ')));
}

} // namespace kront::sim
