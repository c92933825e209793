#include "tests/history/FiveYearsFixture.h"

#include "history/ui/HistoryChart.h"
#include "history/ui/TFormSensorHistory.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace kront::test
{
namespace
{

class HistoryWindow : public FiveYears
{
protected:
    QString cell(int row, int column) const
    {
        const QTableWidgetItem *item = window.grid()->item(row, column);
        return item ? item->text() : QString();
    }
    void find(const QString &serial, bool reference = false)
    {
        window.findChild<QLineEdit *>("EditSerial")->setText(serial);
        window.findChild<QRadioButton *>(reference ? "RadioReference" : "RadioWorking")
            ->setChecked(true);
        window.findChild<QPushButton *>("ButtonFind")->click();
    }

    TFormSensorHistory window{db, dialogs};
    std::vector<std::pair<int, int>> opened; // verification, channel
};

TEST_F(HistoryWindow, ListsChartsAndOpensTheProtocols)
{
    verifyFiveYears();
    ASSERT_FALSE(HasFatalFailure());
    window.setProtocolOpener([this](int id, int channel) { opened.emplace_back(id, channel); });
    const int lastID = db.DBGetMaxID(tables::Poverki, QString());

    // From the search panel: the thermocouples of the selected verification.
    window.showSensorsOf(lastID);
    ASSERT_EQ(window.sensorChoice()->count(), 1);
    EXPECT_EQ(window.sensorChoice()->itemText(0), QStringLiteral("№ 11, ТХА-0292, ТХА, 2024 г."));
    ASSERT_TRUE(window.sensorHistory());
    ASSERT_EQ(window.grid()->rowCount(), 5);
    EXPECT_EQ(cell(0, 1), QStringLiteral("П-0"));
    EXPECT_EQ(cell(4, 1), QStringLiteral("П-4"));
    EXPECT_EQ(window.grid()->horizontalHeaderItem(6)->text(), QStringLiteral("Δ при 350 °C"));
    EXPECT_EQ(window.historyChart()->seriesCount(), 2); // one line per temperature
    EXPECT_TRUE(window.trendLabel()->text().contains(
        QStringLiteral("при сохранении тренда выйдет за допуск класса 2 ≈ в")));
    EXPECT_TRUE(window.trendLabel()->text().contains(QStringLiteral("ненадёжен")));

    // A double click on a verification opens the protocol of its channel.
    Q_EMIT window.grid()->cellDoubleClicked(4, 0);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], std::make_pair(lastID, 1));

    // By serial: equal serials of another year are offered beside it.
    ASSERT_TRUE(db.DBSensorsInsert(TableRow(
        tables::Sensors,
        {{"SerialNum", "11"}, {"ProdYear", 2019}, {"TypeName", "ТХА-0292"}, {"NSHType", "THA"}})));
    find(QStringLiteral("11"));
    EXPECT_EQ(window.sensorChoice()->count(), 2);
    window.findChild<QLineEdit *>("EditYear")->setText(QStringLiteral("2024"));
    find(QStringLiteral("11"));
    EXPECT_EQ(window.sensorChoice()->count(), 1);
    EXPECT_EQ(window.grid()->rowCount(), 5);

    // A reference: its use and the spread of its readings.
    window.findChild<QLineEdit *>("EditYear")->clear();
    find(QStringLiteral("Э-1"), true);
    ASSERT_TRUE(window.referenceHistory());
    EXPECT_FALSE(window.sensorHistory());
    EXPECT_EQ(window.grid()->rowCount(), 2); // the two set-points
    EXPECT_EQ(cell(0, 1), QStringLiteral("5"));
    EXPECT_TRUE(window.trendLabel()->text().contains(QStringLiteral("Поверок с эталоном: 5")));
    Q_EMIT window.grid()->cellDoubleClicked(0, 0); // no verification behind a set-point row
    EXPECT_EQ(opened.size(), 1u);

    // Nothing found, and nothing typed.
    find(QStringLiteral("99"));
    EXPECT_EQ(window.grid()->rowCount(), 0);
    EXPECT_FALSE(window.sensorHistory());
    const int before = int(dialogs.shown.size());
    find(QString());
    ASSERT_EQ(int(dialogs.shown.size()), before + 1);
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Введите заводской номер датчика!"));
}

} // namespace
} // namespace kront::test
