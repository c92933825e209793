#pragma once

class QWidget;

namespace kront
{

// The help topic of a window: F1 anywhere in the window opens this topic of
// the program's help. A window sets it when it is shown and whenever its
// page or state changes.
void setHelpTopic(QWidget *window, int topic);

// The topic of the widget or of the nearest parent that has one; 0 when
// none has.
int helpTopicOf(const QWidget *widget);

} // namespace kront
