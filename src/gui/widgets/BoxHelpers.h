#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <span>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace kx3 {

/// Selects `item` in a choice box without raising its change signals, the way
/// a screen fills a list without running its handler; an item the list does
/// not have selects nothing.
void selectQuietly(QComboBox *box, int item);

/// Replaces a choice box's items without raising its change signals.
void fillItems(QComboBox *box, const QStringList &items);

/// Gives choice boxes the items of a list the loaded database decides (nations,
/// competitions, stadiums, cities), leaving boxes that already hold them
/// alone so that their selection stays. Names are Windows-1252 bytes.
void refillItems(std::span<QComboBox *const> boxes, const QList<QByteArray> &names);

template <std::size_t N>
QStringList itemsOf(const std::array<const char *, N> &names)
{
    QStringList items;
    for (const char *name : names)
        items.append(QString::fromLatin1(name));
    return items;
}

/// Runs `action` on every double-click on `widget` (a label has no signal
/// for it).
void onDoubleClick(QWidget *widget, std::function<void()> action);

/// The line edits under `root` named `names`, in that order; a missing one is
/// a programming error.
std::vector<QLineEdit *> findBoxes(QWidget *root, std::span<const char *const> names);

/// Gives `box` the focus with its text selected, bringing the tab it is on to
/// the front first, so that a refused confirm shows the user what to correct.
void focusBox(QWidget *box);

/// Widens the opened lists of the window's narrow nation, stadium, colour and
/// division boxes so that long names can be read.
void widenDropDowns(QWidget *window);

/// How long a hint stays up: as long as the pointer rests on its control.
inline constexpr int HintDurationMs = 24 * 60 * 60 * 1000;

/// Keeps the hint of `root` and of every child under it on screen while the
/// pointer stays on the control, however long the text.
void keepToolTipsUp(QWidget *root);

} // namespace kx3
