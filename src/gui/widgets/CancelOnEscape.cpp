#include "CancelOnEscape.h"

#include <QPushButton>
#include <QShortcut>

namespace kx3 {

void cancelOnEscape(QWidget *scope, QPushButton *button)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), scope);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, button, [button] {
        if (button->isVisible() && button->isEnabled()
            && button->text() == QLatin1String("Cancel"))
            button->click();
    });
}

} // namespace kx3
