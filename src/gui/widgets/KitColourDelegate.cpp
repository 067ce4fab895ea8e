#include "gui/widgets/KitColourDelegate.h"

#include "core/layout/KitColours.h"
#include "gui/widgets/BoxHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace kx3 {

namespace {

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

void setPreviewColour(QLabel *preview, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = preview->palette();
    palette.setColor(role, colour);
    preview->setPalette(palette);
}

/// The swatch of an item alone, for the closed box, which Qt draws itself.
QIcon swatchIcon(int item)
{
    QPixmap pixmap(KitColourItemHeight, KitColourItemHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::transparent);
    const QRect square(0, 0, KitColourItemHeight, KitColourItemHeight);
    paintKitColourItem(&painter, square, item, false, palette);
    return QIcon(pixmap);
}

} // namespace

QColor kitColourOfListItem(int item)
{
    const KitColour &c = kitColourOfItem(item);
    return c.usesButtonFace ? buttonFace() : QColor(c.red, c.green, c.blue);
}

void paintKitColourItem(QPainter *painter, const QRect &rect, int item, bool selected,
                        const QPalette &palette)
{
    painter->save();
    const QColor background = palette.color(selected ? QPalette::Highlight : QPalette::Base);
    const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    painter->fillRect(rect, background);

    const int side = qMin(rect.width(), rect.height());
    const QRect square(rect.left(), rect.top(), side, side);
    const QRect swatch = square.adjusted(1, 1, -1, -1);
    const QColor colour = kitColourOfListItem(item);
    painter->setPen(text);
    if (kitColourOfItem(item).usesButtonFace) {
        painter->drawLine(swatch.topLeft(), swatch.bottomRight());
        painter->drawLine(swatch.bottomLeft() - QPoint(0, 1), swatch.topRight() - QPoint(1, 0));
    } else {
        painter->fillRect(swatch, colour);
    }
    painter->setPen(Qt::black);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(swatch.adjusted(0, 0, -1, -1));

    if (rect.width() > side) {
        const QRect textRect(square.right() + 1 + 2, rect.top() + 2,
                             rect.right() - square.right() - 2, rect.height() - 2);
        const QString name = QString::fromLatin1(kitColourOfItem(item).name);
        painter->setPen(text);
        painter->drawText(
            textRect, Qt::AlignLeft | Qt::AlignVCenter,
            painter->fontMetrics().elidedText(name, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

void KitColourDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    paintKitColourItem(painter, option.rect, index.row(),
                       option.state.testFlag(QStyle::State_Selected), option.palette);
}

QSize KitColourDelegate::sizeHint(const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    Q_UNUSED(index)
    return {option.rect.width(), KitColourItemHeight};
}

void setUpKitColourBox(QComboBox *box)
{
    QStringList names;
    for (const KitColour &c : KitColourItems)
        names.append(QString::fromLatin1(c.name));
    fillItems(box, names);
    for (int item = 0; item < box->count(); ++item)
        box->setItemIcon(item, swatchIcon(item));
    box->setItemDelegate(new KitColourDelegate(box));
}

void showKitPreview(const QComboBox *colour1, const QComboBox *colour2, QLabel *preview)
{
    setPreviewColour(preview, QPalette::WindowText, kitColourOfListItem(colour1->currentIndex()));
    setPreviewColour(preview, QPalette::Window, kitColourOfListItem(colour2->currentIndex()));
}

void linkKitPreview(QComboBox *colour1, QComboBox *colour2, QLabel *preview)
{
    preview->setAutoFillBackground(true);
    setPreviewColour(preview, QPalette::WindowText, Qt::white);
    setPreviewColour(preview, QPalette::Window, Qt::black);
    for (QComboBox *box : {colour1, colour2}) {
        QObject::connect(box, &QComboBox::currentIndexChanged, preview,
                         [=] { showKitPreview(colour1, colour2, preview); });
    }
}

} // namespace kx3
