#include "sensors/SensorSet.h"

namespace kront
{

SensorGridTexts::SensorGridTexts(int rowCount, int columnCount)
{
    QStringList empty;
    for (int c = 0; c < columnCount; ++c)
        empty << QString();
    cells.assign(size_t(std::max(rowCount, 0)), empty);
}

QString SensorGridTexts::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    return cells[size_t(row)][column];
}

void SensorGridTexts::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    cells[size_t(row)][column] = text;
}

QStringList SensorGridTexts::row(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return cells[size_t(row)];
}

void SensorGridTexts::setRow(int row, const QStringList &texts)
{
    for (int c = 1; c < columnCount(); ++c)
        setCell(row, c, c < texts.size() ? texts[c] : QString());
}

void SensorGridTexts::clear()
{
    for (QStringList &r : cells) {
        for (QString &c : r)
            c.clear();
    }
}

SensorSet::SensorSet(int kind)
{
    gridLayout = SensorLayoutForKind(kind);
    if (!gridLayout)
        gridLayout = SensorLayoutForKind(3);
    layoutKind = gridLayout->kind;
    for (SensorGridTexts &g : grids)
        g = SensorGridTexts(gridLayout->rowCount(), gridLayout->columnCount());
}

QString SensorSet::text(int grid, int row, SensorColumn column) const
{
    const int c = gridLayout->columnOf(column);
    return c < 0 ? QString() : this->grid(grid).cell(row, c);
}

void SensorSet::setText(int grid, int row, SensorColumn column, const QString &text)
{
    const int c = gridLayout->columnOf(column);
    if (c >= 0)
        this->grid(grid).setCell(row, c, text);
}

QString SensorSet::trimmed(int grid, int row, SensorColumn column) const
{
    return text(grid, row, column).trimmed();
}

bool SensorSet::rowHasType(int grid, int row) const
{
    return !trimmed(grid, row, SensorColumn::Type).isEmpty();
}

QString CopyRowText(const QStringList &rowCells)
{
    QString buffer;
    for (int c = 1; c < rowCells.size(); ++c)
        buffer += rowCells[c] + QLatin1Char('|');
    return buffer;
}

void PasteRowText(QStringList &rowCells, const QString &buffer)
{
    QString rest = buffer;
    for (int c = 1; c < rowCells.size(); ++c) {
        const qsizetype bar = rest.indexOf(QLatin1Char('|'));
        if (bar < 0)
            break;
        rowCells[c] = rest.left(bar);
        rest = rest.mid(bar + 1);
    }
}

void ClearRowText(QStringList &rowCells)
{
    for (int c = 1; c < rowCells.size(); ++c)
        rowCells[c].clear();
}

} // namespace kront
