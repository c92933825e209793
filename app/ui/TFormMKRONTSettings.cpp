#include "app/ui/TFormMKRONTSettings.h"

#include "app/ui/DigitsSpinBox.h"
#include "app/ui/LimitedMemo.h"
#include "app/ui/StoreSettingsGroup.h"
#include "common/AnsiTextFile.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctionsFormat.h"
#include "common/ui/HelpContext.h"
#include "db/DocumentColumnSizes.h"
#include "registry/ui/RegistrySettingsPage.h"
#include "settings/OrganName.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"
#include "settings/StoreSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <limits>

namespace kront
{

namespace
{

// Help topics of the pages in tab order.
constexpr std::array<int, 4> kPageTopics = {12, 13, 14, 19};

// Register grid: headers and the EtalSens fields shown under them.
const char16_t *const kGridHeaders[] = {u"Сер. №",   u"Тип",    u"Наименование",
                                        u"Год вып.", u"Разряд", u"Изготовитель",
                                        u"Владелец", u"T min",  u"T max"};
const char *const kGridFields[] = {"SerialNum", "NSHType", "TypeName",  "ProdYear",  "ClassDop",
                                   "Producer",  "Owner",   "WDTLowLim", "WDTHighLim"};
constexpr int kGridColumns = 9;
constexpr int kMinGridRows = 9; // below the header, while the register is shorter

QString cellText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return FloatToStr(value.toDouble());
    return value.toString();
}

QRadioButton *radio(const QString &name, const QString &caption)
{
    auto *r = new QRadioButton(caption);
    r->setObjectName(name);
    return r;
}

QCheckBox *check(const QString &name, const QString &caption)
{
    auto *c = new QCheckBox(caption);
    c->setObjectName(name);
    return c;
}

QSpinBox *spin(const QString &name, int maximum)
{
    auto *s = new DigitsSpinBox;
    s->setObjectName(name);
    s->setRange(0, maximum);
    return s;
}

QPushButton *button(const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Selects item 1 or 2 of a two-button group; any other item clears it.
void selectItem(QButtonGroup *group, int item)
{
    group->setExclusive(false);
    for (QAbstractButton *b : group->buttons())
        b->setChecked(group->id(b) == item);
    group->setExclusive(true);
}

} // namespace

QString TFormMKRONTSettings::registerFailureText()
{
    return QStringLiteral("Не удалось открыть базу данных эталонных датчиков! Устаните причину и "
                          "перезапустите программу.");
}

TFormMKRONTSettings::TFormMKRONTSettings(Dialogs &dialogSet, ProgramSettings &edited,
                                         RegisterReader registerReader, PortLister portLister,
                                         QWidget *parent)
    : QDialog(parent), dialogs(dialogSet), settings(edited),
      readRegister(std::move(registerReader)), listPorts(std::move(portLister)),
      tabs(new QTabWidget)
{
    setObjectName(QStringLiteral("TFormMKRONTSettings"));
    setWindowTitle(QStringLiteral("Настройка"));
    setModal(true);
    tabs->addTab(createRegisterPage(), QStringLiteral("Эталонные ТП"));
    tabs->addTab(createConnectionPage(), QStringLiteral("Параметры подключения"));
    tabs->addTab(createProgramPage(), QStringLiteral("Настройки программы"));
    ButtonClose = button(QStringLiteral("ButtonClose"), QStringLiteral("Закрыть"));
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(tabs, &QTabWidget::currentChanged, this, &TFormMKRONTSettings::updateHelpTopic);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ButtonClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(bottom);
    resize(980, 600); // every column of the register without scrolling

    FormCreate();
    showForm();
    connectForm();
    updateHelpTopic();
}

QWidget *TFormMKRONTSettings::createRegisterPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetEtalTP"));
    StringGridEtalTP = new QTableWidget(kMinGridRows, kGridColumns);
    StringGridEtalTP->setObjectName(QStringLiteral("StringGridEtalTP"));
    QStringList headers;
    for (const char16_t *h : kGridHeaders)
        headers << QString::fromUtf16(h);
    StringGridEtalTP->setHorizontalHeaderLabels(headers);
    StringGridEtalTP->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridEtalTP->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGridEtalTP->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGridEtalTP->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StringGridEtalTP->verticalHeader()->hide();

    // The register's editing comes with the reference thermocouple editor.
    ButtonAddEtalTP = button(QStringLiteral("ButtonAddEtalTP"), QStringLiteral("Добавить"));
    ButtonEditEtalTP = button(QStringLiteral("ButtonEditEtalTP"), QStringLiteral("Изменить"));
    ButtonDeleteEtalTP = button(QStringLiteral("ButtonDeleteEtalTP"), QStringLiteral("Удалить"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ButtonAddEtalTP);
    buttons->addWidget(ButtonEditEtalTP);
    buttons->addWidget(ButtonDeleteEtalTP);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(StringGridEtalTP);
    layout->addLayout(buttons);
    return page;
}

QWidget *TFormMKRONTSettings::createConnectionPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetCommParams"));

    auto *portGroup = new QGroupBox(QStringLiteral("Порт связи с ТАВЕР-7"));
    portGroup->setObjectName(QStringLiteral("GroupBoxPort"));
    ComboBoxFoundPorts = new QComboBox;
    ComboBoxFoundPorts->setObjectName(QStringLiteral("ComboBoxFoundPorts"));
    ComboBoxFoundPorts->setEditable(true); // any device path, e.g. a pseudo-terminal
    ComboBoxFoundPorts->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxFoundPorts->setMinimumWidth(240);
    auto *portLayout = new QHBoxLayout(portGroup);
    portLayout->addWidget(new QLabel(QStringLiteral("Выбранный порт:")));
    portLayout->addWidget(ComboBoxFoundPorts, 1);

    auto *channelBox = new QGroupBox(QStringLiteral("№ канала ТАВЕР-7, подключенного к БИ1"));
    channelBox->setObjectName(QStringLiteral("RadioGroupTAVER_7ChanNum"));
    RadioChannel1 = radio(QStringLiteral("RadioChannel1"), QStringLiteral("Канал 1"));
    RadioChannel2 = radio(QStringLiteral("RadioChannel2"), QStringLiteral("Канал 2"));
    channelGroup = new QButtonGroup(this);
    channelGroup->addButton(RadioChannel1, 1);
    channelGroup->addButton(RadioChannel2, 2);
    auto *channelLayout = new QVBoxLayout(channelBox);
    channelLayout->addWidget(RadioChannel1);
    channelLayout->addWidget(RadioChannel2);

    auto *polarityBox = new QGroupBox(QStringLiteral("Подключение входа \"ОБР\" блока БИ1"));
    polarityBox->setObjectName(QStringLiteral("RadioGroupBI1TInputPolarity"));
    RadioPolarityDirect =
        radio(QStringLiteral("RadioPolarityDirect"), QStringLiteral("Прямая полярность"));
    RadioPolarityInverted =
        radio(QStringLiteral("RadioPolarityInverted"), QStringLiteral("Обратная полярность"));
    polarityGroup = new QButtonGroup(this);
    polarityGroup->addButton(RadioPolarityDirect, 1);
    polarityGroup->addButton(RadioPolarityInverted, 2);
    auto *polarityLayout = new QVBoxLayout(polarityBox);
    polarityLayout->addWidget(RadioPolarityDirect);
    polarityLayout->addWidget(RadioPolarityInverted);

    GroupStore = new StoreSettingsGroup(dialogs);

    ButtonApplyCommParams =
        button(QStringLiteral("ButtonApplyCommParams"), QStringLiteral("Применить"));
    connect(ButtonApplyCommParams, &QPushButton::clicked, this,
            &TFormMKRONTSettings::ButtonApplyCommParamsClick);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(portGroup);
    layout->addWidget(channelBox);
    layout->addWidget(polarityBox);
    layout->addWidget(GroupStore);
    layout->addStretch();
    layout->addWidget(ButtonApplyCommParams, 0, Qt::AlignRight);
    return page;
}

QWidget *TFormMKRONTSettings::createNumberingRow(QCheckBox *check, QSpinBox *next, QSpinBox *digits,
                                                 QList<QLabel *> &labels)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    labels = {new QLabel(QStringLiteral("Следующий номер:")),
              new QLabel(QStringLiteral("Количество знаков:"))};
    layout->addWidget(check);
    layout->addStretch();
    layout->addWidget(labels[0]);
    layout->addWidget(next);
    layout->addWidget(labels[1]);
    layout->addWidget(digits);
    return row;
}

QWidget *TFormMKRONTSettings::createProgramPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetProgramSettings"));
    CheckBoxDisableTempStabilityCtrlByPrg = check(
        QStringLiteral("CheckBoxDisableTempStabilityCtrlByPrg"),
        QStringLiteral("Отключить программный контроль стабильности темпреатуры (температурный "
                       "ход) печи/термостата"));
    CheckBoxWaitFixedTAVER_7Value = check(
        QStringLiteral("CheckBoxWaitFixedTAVER_7Value"),
        QStringLiteral("Ожидать фиксации показания измеренного напряжения на ТАВЕР-7 в течение "
                       "трех замеров"));
    CheckBoxReduceResultClass =
        check(QStringLiteral("CheckBoxReduceResultClass"),
              QStringLiteral("Понижать класс поверяемого датчика, если датчик не соответствует "
                             "заявленному классу"));
    CheckBoxOfferPoverkaTermination =
        check(QStringLiteral("CheckBoxOfferPoverkaTermination"),
              QStringLiteral("Предлагать прервать поверку при превышении предела допускаемого "
                             "отклонения от НСХ для заявленного класса допуска"));
    CheckBoxConnectionCheck =
        check(QStringLiteral("CheckBoxConnectionCheck"),
              QStringLiteral("Проверять подключение датчиков по измеренной ТЭДС"));
    CheckBoxStabilityForecast =
        check(QStringLiteral("CheckBoxStabilityForecast"),
              QStringLiteral("Показывать оценку времени до стабилизации температуры печи"));

    auto *documents = new QGroupBox(QStringLiteral("Реквизиты для печати свидетельства/извещения"));
    documents->setObjectName(QStringLiteral("GroupBoxDocuments"));
    // The texts fit the documents that record them; a "|" would split a line
    // of the name in the settings file.
    MemoOrganName = new LimitedMemo(organNameMaxLength(), QStringLiteral("|"));
    MemoOrganName->setObjectName(QStringLiteral("MemoOrganName"));
    MemoOrganName->setMaximumHeight(80);
    LabeledEditRukDolgn = new QLineEdit;
    LabeledEditRukDolgn->setObjectName(QStringLiteral("LabeledEditRukDolgn"));
    LabeledEditRukDolgn->setMaxLength(rukDolgnostMaxLength());
    CheckBoxSvidNumAuto = check(QStringLiteral("CheckBoxSvidNumAuto"),
                                QStringLiteral("Автоматически нумеровать свидетельства"));
    JvSpinEditNextSvidNum =
        spin(QStringLiteral("JvSpinEditNextSvidNum"), std::numeric_limits<int>::max());
    JvSpinEditSvidDigitsCount = spin(QStringLiteral("JvSpinEditSvidDigitsCount"), 20);
    CheckBoxIzvNumAuto = check(QStringLiteral("CheckBoxIzvNumAuto"),
                               QStringLiteral("Автоматически нумеровать извещения"));
    JvSpinEditNextIzvNum =
        spin(QStringLiteral("JvSpinEditNextIzvNum"), std::numeric_limits<int>::max());
    JvSpinEditIzvDigitsCount = spin(QStringLiteral("JvSpinEditIzvDigitsCount"), 20);

    auto *docLayout = new QVBoxLayout(documents);
    docLayout->addWidget(new QLabel(QStringLiteral(
        "Наименование органа Государственной метрологической службы, юридического лица:")));
    docLayout->addWidget(MemoOrganName);
    docLayout->addWidget(new QLabel(QStringLiteral("Должность руководителя подразделения:")));
    docLayout->addWidget(LabeledEditRukDolgn);
    docLayout->addWidget(createNumberingRow(CheckBoxSvidNumAuto, JvSpinEditNextSvidNum,
                                            JvSpinEditSvidDigitsCount, svidLabels));
    docLayout->addWidget(createNumberingRow(CheckBoxIzvNumAuto, JvSpinEditNextIzvNum,
                                            JvSpinEditIzvDigitsCount, izvLabels));

    ButtonApplyProgramSettings =
        button(QStringLiteral("ButtonApplyProgramSettings"), QStringLiteral("Применить"));
    connect(ButtonApplyProgramSettings, &QPushButton::clicked, this,
            &TFormMKRONTSettings::ButtonApplyProgramSettingsClick);

    EditInstallationName = new QLineEdit(loadStoreSettings().installation);
    EditInstallationName->setObjectName(QStringLiteral("EditInstallationName"));
    EditInstallationName->setMaxLength(kInstallationNameLength);
    EditInstallationName->setPlaceholderText(StoreSettings::defaultInstallationName());
    auto *installation = new QHBoxLayout;
    installation->addWidget(new QLabel(QStringLiteral("Имя установки:")));
    installation->addWidget(EditInstallationName, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(installation);
    layout->addWidget(CheckBoxDisableTempStabilityCtrlByPrg);
    layout->addWidget(CheckBoxWaitFixedTAVER_7Value);
    layout->addWidget(CheckBoxReduceResultClass);
    layout->addWidget(CheckBoxOfferPoverkaTermination);
    layout->addWidget(CheckBoxConnectionCheck);
    layout->addWidget(CheckBoxStabilityForecast);
    layout->addWidget(documents);
    layout->addStretch();
    layout->addWidget(ButtonApplyProgramSettings, 0, Qt::AlignRight);
    return page;
}

void TFormMKRONTSettings::FormCreate()
{
    const std::optional<Rows> rows = readRegister ? readRegister(registerFailureText()) : Rows{};
    if (!rows)
        return; // nothing else is read in this run
    fillGrid(*rows);
    form = loadSettingsForm(settings, listPorts ? listPorts() : QStringList());
    GroupStore->load(SettingsFile::defaultPath());
}

void TFormMKRONTSettings::RefreshGrid()
{
    if (!readRegister)
        return;
    if (const std::optional<Rows> rows = readRegister(QString()))
        fillGrid(*rows);
}

void TFormMKRONTSettings::fillGrid(const Rows &rows)
{
    StringGridEtalTP->clearContents();
    StringGridEtalTP->setRowCount(std::max<int>(kMinGridRows, int(rows.size())));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            const QVariant value = rows[size_t(r)].value(QLatin1String(kGridFields[c]));
            StringGridEtalTP->setItem(r, c, new QTableWidgetItem(cellText(value)));
        }
    }
}

// Shows the form and the settings in the controls.
void TFormMKRONTSettings::showForm()
{
    filling = true;
    const SettingsForm &f = form;
    const QString port = settings.portName();
    ComboBoxFoundPorts->clear();
    ComboBoxFoundPorts->addItems(f.ports);
    ComboBoxFoundPorts->setCurrentIndex(int(f.ports.indexOf(port)));
    ComboBoxFoundPorts->setEditText(port);
    selectItem(channelGroup, f.channelItem);
    selectItem(polarityGroup, f.polarityItem);
    CheckBoxDisableTempStabilityCtrlByPrg->setChecked(f.disableStabilityControl);
    CheckBoxWaitFixedTAVER_7Value->setChecked(f.waitForFixedValue);
    CheckBoxReduceResultClass->setChecked(f.reduceResultClass);
    CheckBoxOfferPoverkaTermination->setChecked(f.offerPoverkaTermination);
    MemoOrganName->setPlainText(MemoOrganName->keptOf(settings.organNameLines().join(u'\n')));
    LabeledEditRukDolgn->setText(settings.rukDolgnost());
    const DocumentNumbering svid = settings.numbering(DocumentKind::Certificate);
    CheckBoxSvidNumAuto->setChecked(svid.autoNum);
    JvSpinEditNextSvidNum->setValue(svid.nextNum);
    JvSpinEditSvidDigitsCount->setValue(svid.digitsCount);
    const DocumentNumbering izv = settings.numbering(DocumentKind::Notice);
    CheckBoxIzvNumAuto->setChecked(izv.autoNum);
    JvSpinEditNextIzvNum->setValue(izv.nextNum);
    JvSpinEditIzvDigitsCount->setValue(izv.digitsCount);
    CheckBoxConnectionCheck->setChecked(f.connectionCheck);
    CheckBoxStabilityForecast->setChecked(f.stabilityForecast);
    // A hand-edited file may hold numbers the boxes cannot show and texts
    // longer than the documents hold; the run uses what the operator sees.
    settings.setOrganNameLines(AnsiTextFile::splitLines(MemoOrganName->toPlainText()));
    settings.setRukDolgnost(LabeledEditRukDolgn->text());
    settings.setNumbering(DocumentKind::Certificate, {svid.autoNum, JvSpinEditNextSvidNum->value(),
                                                      JvSpinEditSvidDigitsCount->value()});
    settings.setNumbering(DocumentKind::Notice, {izv.autoNum, JvSpinEditNextIzvNum->value(),
                                                 JvSpinEditIzvDigitsCount->value()});
    updateNumberingEnabled();
    filling = false;
}

// Every edit is taken at once: into the form, whose choices wait for
// "Применить", or into the settings (port name, organisation name, head's
// position, document numbering), where the link and the documents read what
// the operator sees, saved or not.
void TFormMKRONTSettings::connectForm()
{
    auto bind = [this](auto *sender, auto signal, auto store) {
        connect(sender, signal, this, [this, store](auto value) {
            if (!filling)
                store(value);
        });
    };
    bind(ComboBoxFoundPorts, &QComboBox::currentTextChanged,
         [this](const QString &v) { settings.setPortName(v); });
    bind(channelGroup, &QButtonGroup::idToggled, [this](int) {
        form.channelItem = channelGroup->checkedId() < 0 ? 0 : channelGroup->checkedId();
    });
    bind(polarityGroup, &QButtonGroup::idToggled, [this](int) {
        form.polarityItem = polarityGroup->checkedId() < 0 ? 0 : polarityGroup->checkedId();
    });
    bind(CheckBoxDisableTempStabilityCtrlByPrg, &QCheckBox::toggled,
         [this](bool v) { form.disableStabilityControl = v; });
    bind(CheckBoxWaitFixedTAVER_7Value, &QCheckBox::toggled,
         [this](bool v) { form.waitForFixedValue = v; });
    bind(CheckBoxReduceResultClass, &QCheckBox::toggled,
         [this](bool v) { form.reduceResultClass = v; });
    bind(CheckBoxOfferPoverkaTermination, &QCheckBox::toggled,
         [this](bool v) { form.offerPoverkaTermination = v; });
    bind(CheckBoxConnectionCheck, &QCheckBox::toggled,
         [this](bool v) { form.connectionCheck = v; });
    bind(CheckBoxStabilityForecast, &QCheckBox::toggled,
         [this](bool v) { form.stabilityForecast = v; });
    connect(MemoOrganName, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling)
            settings.setOrganNameLines(AnsiTextFile::splitLines(MemoOrganName->toPlainText()));
    });
    bind(LabeledEditRukDolgn, &QLineEdit::textChanged,
         [this](const QString &v) { settings.setRukDolgnost(v); });
    auto numbering = [this](DocumentKind kind, auto change) {
        return [this, kind, change](auto value) {
            DocumentNumbering n = settings.numbering(kind);
            change(n, value);
            settings.setNumbering(kind, n);
        };
    };
    const DocumentKind svid = DocumentKind::Certificate;
    const DocumentKind izv = DocumentKind::Notice;
    bind(CheckBoxSvidNumAuto, &QCheckBox::toggled,
         numbering(svid, [](DocumentNumbering &n, bool v) { n.autoNum = v; }));
    bind(JvSpinEditNextSvidNum, &QSpinBox::valueChanged,
         numbering(svid, [](DocumentNumbering &n, int v) { n.nextNum = v; }));
    bind(JvSpinEditSvidDigitsCount, &QSpinBox::valueChanged,
         numbering(svid, [](DocumentNumbering &n, int v) { n.digitsCount = v; }));
    bind(CheckBoxIzvNumAuto, &QCheckBox::toggled,
         numbering(izv, [](DocumentNumbering &n, bool v) { n.autoNum = v; }));
    bind(JvSpinEditNextIzvNum, &QSpinBox::valueChanged,
         numbering(izv, [](DocumentNumbering &n, int v) { n.nextNum = v; }));
    bind(JvSpinEditIzvDigitsCount, &QSpinBox::valueChanged,
         numbering(izv, [](DocumentNumbering &n, int v) { n.digitsCount = v; }));
    connect(CheckBoxSvidNumAuto, &QCheckBox::toggled, this,
            &TFormMKRONTSettings::updateNumberingEnabled);
    connect(CheckBoxIzvNumAuto, &QCheckBox::toggled, this,
            &TFormMKRONTSettings::updateNumberingEnabled);
    // The document numbering changes when a document is printed.
    connect(&settings, &ProgramSettings::numberingChanged, this, &TFormMKRONTSettings::showForm);
}

void TFormMKRONTSettings::updateNumberingEnabled()
{
    const bool svid = CheckBoxSvidNumAuto->isChecked();
    JvSpinEditNextSvidNum->setEnabled(svid);
    JvSpinEditSvidDigitsCount->setEnabled(svid);
    for (QLabel *l : svidLabels)
        l->setEnabled(svid);
    const bool izv = CheckBoxIzvNumAuto->isChecked();
    JvSpinEditNextIzvNum->setEnabled(izv);
    JvSpinEditIzvDigitsCount->setEnabled(izv);
    for (QLabel *l : izvLabels)
        l->setEnabled(izv);
}

void TFormMKRONTSettings::updateHelpTopic()
{
    setHelpTopic(this, kPageTopics.at(std::size_t(std::max(0, tabs->currentIndex()))));
}

void TFormMKRONTSettings::setRegistryPage(RegistrySettingsPage *page)
{
    registry = page;
    tabs->addTab(page, QStringLiteral("ФГИС «Аршин»"));
    connect(page, &RegistrySettingsPage::applied, this, &QDialog::accept);
}

void TFormMKRONTSettings::showEvent(QShowEvent *event)
{
    // The store as the settings file names it now: edits not applied are gone.
    GroupStore->load(SettingsFile::defaultPath());
    if (registry)
        registry->load();
    updateHelpTopic();
    QDialog::showEvent(event);
}

int TFormMKRONTSettings::showPage(int page)
{
    tabs->setCurrentIndex(page);
    updateHelpTopic();
    return exec();
}

void TFormMKRONTSettings::ButtonApplyCommParamsClick()
{
    if (!GroupStore->apply())
        return; // the page stays open to correct the store
    applyConnection(form, settings, dialogs);
    accept();
}

void TFormMKRONTSettings::ButtonApplyProgramSettingsClick()
{
    applyProgramOptions(form, settings, dialogs);
    // Takes effect at the next start, as the rest of the store's settings.
    // Written only when changed, so that the file keeps the keys it had.
    const QString path = SettingsFile::defaultPath();
    const QString typed = EditInstallationName->text().trimmed();
    const QString name = typed.isEmpty() ? StoreSettings::defaultInstallationName() : typed;
    if (name != loadStoreSettings(path).installation && !saveInstallationName(typed, path))
        dialogs.error(QStringLiteral("Не удалось записать файл настроек ") + path);
    accept();
}

} // namespace kront
