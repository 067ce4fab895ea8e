#include "HistoryDialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPalette>
#include <QVBoxLayout>

namespace kx3 {

HistoryDialog::HistoryDialog(const QStringList &labels, int position, QWidget *parent)
    : QDialog(parent), mList(new QListWidget(this))
{
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(QStringLiteral("History"));
    mList->setObjectName(QStringLiteral("lstHistory"));
    // Row 0 is the state the session started from: choosing it undoes all.
    mList->addItem(QStringLiteral("(as loaded or saved before the first step kept)"));
    mList->addItems(labels);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mList);
    layout->addWidget(buttons);
    resize(480, 360);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { Q_EMIT positionChosen(mList->row(item)); });
    setPosition(position);
}

void HistoryDialog::setPosition(int position)
{
    const QColor undone = palette().color(QPalette::Disabled, QPalette::Text);
    for (int row = 0; row < mList->count(); ++row) {
        QListWidgetItem *item = mList->item(row);
        item->setForeground(row <= position ? palette().color(QPalette::Text) : undone);
        QFont font = item->font();
        font.setBold(row == position);
        item->setFont(font);
    }
    mList->setCurrentRow(position);
}

} // namespace kx3
