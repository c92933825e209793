#include "link/ui/QtBusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace kront
{

void QtBusyCursor::begin()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtBusyCursor::end()
{
    QApplication::restoreOverrideCursor();
}

} // namespace kront
