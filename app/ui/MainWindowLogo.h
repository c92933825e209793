#pragma once

#include <QWidget>

namespace kront
{

// The picture that fills the main window while it is idle.
class MainWindowLogo : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindowLogo(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kront
