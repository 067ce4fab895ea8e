#include "DefaultButtonGroup.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace kx3 {

DefaultButtonGroup::DefaultButtonGroup(QObject *parent) : QObject(parent) {}

void DefaultButtonGroup::add(QLineEdit *box, QPushButton *button)
{
    mEntries.push_back({box, button});
    // The buttons sit on plain panels, not in a dialog, so Qt would not
    // press a default button on Enter by itself.
    button->setAutoDefault(false);
    box->installEventFilter(this);
    connect(box, &QLineEdit::returnPressed, this, &DefaultButtonGroup::returnPressed);
}

void DefaultButtonGroup::makeDefault(QPushButton *button)
{
    for (const Entry &e : mEntries)
        e.button->setDefault(e.button == button);
}

bool DefaultButtonGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (const Entry &e : mEntries) {
            if (e.box == watched) {
                makeDefault(e.button);
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void DefaultButtonGroup::returnPressed()
{
    // The box has the focus, so the default button is normally its own.
    for (const Entry &e : mEntries) {
        if (e.button->isDefault() && e.button->isEnabled() && e.button->isVisible()) {
            e.button->click();
            return;
        }
    }
}

} // namespace kx3
