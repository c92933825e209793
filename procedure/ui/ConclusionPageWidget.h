#pragma once

#include "procedure/PoverkaView.h"

#include <QWidget>

class QGroupBox;
class QPushButton;

namespace kront
{

class StringGrid;

// Page 5 "Заключение по результатам поверки": per channel the type, number,
// class and conclusion of each input, and the button that makes the
// channel's verification protocol.
class ConclusionPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ConclusionPageWidget(QWidget *parent = nullptr);

    // Header row written, column 3 widened, rows 1..4 from the engine.
    void showConclusion(const std::array<ConclusionGrid, 3> &grids);

    StringGrid *grid(int channel) const { return channel == 2 ? StringGrid2Prot : StringGrid1Prot; }
    QPushButton *button(int channel) const { return channel == 2 ? Button2Prot : Button1Prot; }

    QGroupBox *GroupBox1Prot;
    QGroupBox *GroupBox2Prot;
    StringGrid *StringGrid1Prot;
    StringGrid *StringGrid2Prot;
    QPushButton *Button1Prot;
    QPushButton *Button2Prot;

Q_SIGNALS:
    void protocolClicked(int channel);

private:
    void writeHeaders();
};

} // namespace kront
