#pragma once

#include <QAbstractItemDelegate>
#include <QColor>

class QComboBox;
class QLabel;
class QPainter;

namespace kx3 {

/// Height of one item of a kit colour list.
inline constexpr int KitColourItemHeight = 16;

/// The screen colour of a kit colour list item: the table's colour, or the
/// system button-face colour for "None" and any item outside the table.
QColor kitColourOfListItem(int item);

/// Draws one item of a kit colour list: a framed swatch of the item's colour
/// (crossed for "None") and its name.
void paintKitColourItem(QPainter *painter, const QRect &rect, int item, bool selected,
                        const QPalette &palette);

/// Paints the items of a kit colour list from the colour table, one delegate
/// for every colour list of the editor.
class KitColourDelegate : public QAbstractItemDelegate
{
    Q_OBJECT

public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

/// Fills a colour list with the 26 colour names, draws its items with the
/// delegate and shows the chosen colour's swatch in the closed box too.
void setUpKitColourBox(QComboBox *box);

/// Makes `preview` follow a kit's two lists: colour 1 is its text colour,
/// colour 2 its background. It starts as white on black.
void linkKitPreview(QComboBox *colour1, QComboBox *colour2, QLabel *preview);

/// Colours `preview` from the items its kit's lists show now (for lists
/// filled without their change signals).
void showKitPreview(const QComboBox *colour1, const QComboBox *colour2, QLabel *preview);

} // namespace kx3
