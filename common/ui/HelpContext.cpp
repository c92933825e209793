#include "common/ui/HelpContext.h"

#include <QVariant>
#include <QWidget>

namespace kront
{

namespace
{
constexpr const char *kProperty = "kront_helpTopic";
}

void setHelpTopic(QWidget *window, int topic)
{
    if (window)
        window->setProperty(kProperty, topic);
}

int helpTopicOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const QVariant topic = w->property(kProperty);
        if (topic.isValid())
            return topic.toInt();
    }
    return 0;
}

} // namespace kront
