#include "procedure/ui/ConclusionPageWidget.h"

#include "common/ui/StringGrid.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kDefaultColWidth = 60;     // pixels
constexpr int kConclusionColWidth = 200; // column 3
} // namespace

ConclusionPageWidget::ConclusionPageWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("JvWizardInteriorPage5"));
    auto *layout = new QVBoxLayout(this);
    for (int c = 1; c <= 2; ++c) {
        const QString n = QString::number(c);
        auto *box = new QGroupBox(QStringLiteral("Канал ") + n);
        box->setObjectName(QStringLiteral("GroupBox%1Prot").arg(n));
        auto *g = new StringGrid(QStringLiteral("StringGrid%1Prot").arg(n), 4, 5, 0, 1);
        g->setDefaultColWidth(kDefaultColWidth);
        g->setSelectionMode(QAbstractItemView::NoSelection);
        auto *b = new QPushButton(QStringLiteral("Сформировать протокол поверки"));
        b->setObjectName(QStringLiteral("Button%1Prot").arg(n));
        auto *boxLayout = new QVBoxLayout(box);
        boxLayout->addWidget(g);
        boxLayout->addWidget(b, 0, Qt::AlignLeft);
        layout->addWidget(box);
        connect(b, &QPushButton::clicked, this, [this, c] { Q_EMIT protocolClicked(c); });
        (c == 1 ? GroupBox1Prot : GroupBox2Prot) = box;
        (c == 1 ? StringGrid1Prot : StringGrid2Prot) = g;
        (c == 1 ? Button1Prot : Button2Prot) = b;
    }
    layout->addStretch();
    writeHeaders();
}

void ConclusionPageWidget::writeHeaders()
{
    const QStringList headers{QStringLiteral("Тип ТП"), QStringLiteral("Номер ТП"),
                              QStringLiteral("Класс"),
                              QStringLiteral("Заключение о пригодности ТП (ЧЭ)")};
    for (StringGrid *g : {StringGrid1Prot, StringGrid2Prot}) {
        for (int col = 0; col < 4; ++col)
            g->setCell(col, 0, headers[col]);
        g->setColWidth(3, kConclusionColWidth);
        g->fitToCells();
    }
}

void ConclusionPageWidget::showConclusion(const std::array<ConclusionGrid, 3> &grids)
{
    writeHeaders();
    for (int c = 1; c <= 2; ++c) {
        StringGrid *g = grid(c);
        for (int input = 1; input <= 4; ++input) {
            const ConclusionRow &r = grids[c].rows[input];
            g->setCell(0, input, r.nsh);
            g->setCell(1, input, r.serial);
            g->setCell(2, input, r.klass);
            g->setCell(3, input, r.conclusion);
        }
    }
}

} // namespace kront
