#include "gui/widgets/StatusBar.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kx3 {

namespace {

QPushButton *barButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    // The keys of the panels stay theirs: the bar is reached by the mouse
    // or its own shortcuts.
    button->setFocusPolicy(Qt::NoFocus);
    // As wide as its caption: the folder and the notice take the rest.
    button->setFixedSize(button->fontMetrics().horizontalAdvance(caption) + 14,
                         StatusBar::Height - 2);
    return button;
}

} // namespace

StatusBar::StatusBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(Height);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 2, 0);
    layout->setSpacing(6);
    mFolder = new QLabel(this);
    mFolder->setObjectName(QStringLiteral("lbStatusFolder"));
    mFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path gives way to the buttons; its tip holds it whole.
    mFolder->setMinimumWidth(40);
    mFolder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    mModified = new QLabel(this);
    mModified->setObjectName(QStringLiteral("lbStatusModified"));
    mNotice = new QLabel(this);
    mNotice->setObjectName(QStringLiteral("lbStatusNotice"));
    mNotice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(mFolder, 1);
    layout->addWidget(mModified);
    layout->addWidget(mNotice, 1);
    mUndo = barButton(this, "bnStatusUndo", QStringLiteral("Undo"));
    mRedo = barButton(this, "bnStatusRedo", QStringLiteral("Redo"));
    mSave = barButton(this, "bnStatusSave", QStringLiteral("Save"));
    mChanges = barButton(this, "bnStatusChanges", QStringLiteral("Changes"));
    mHistory = barButton(this, "bnStatusHistory", QStringLiteral("History"));
    for (QPushButton *b : {mUndo, mRedo, mSave, mChanges, mHistory})
        layout->addWidget(b);
    connect(mUndo, &QPushButton::clicked, this, &StatusBar::undoRequested);
    connect(mRedo, &QPushButton::clicked, this, &StatusBar::redoRequested);
    connect(mSave, &QPushButton::clicked, this, &StatusBar::saveRequested);
    connect(mChanges, &QPushButton::clicked, this, &StatusBar::changesRequested);
    connect(mHistory, &QPushButton::clicked, this, &StatusBar::historyRequested);
    setFolder(QString(), false);
    setModified(false, 0);
}

void StatusBar::setFolder(const QString &folder, bool readOnly)
{
    const QString shown = QDir::toNativeSeparators(folder);
    mFolder->setText(readOnly && !shown.isEmpty() ? shown + QStringLiteral(" (read-only)")
                                                  : shown);
    mFolder->setToolTip(shown);
    mChanges->setEnabled(!folder.isEmpty());
}

void StatusBar::setModified(bool modified, int steps)
{
    if (!modified)
        mModified->clear();
    else if (steps > 0)
        mModified->setText(
            QStringLiteral("modified (%1 unsaved %2)")
                .arg(steps)
                .arg(steps == 1 ? QStringLiteral("step") : QStringLiteral("steps")));
    else
        mModified->setText(QStringLiteral("modified"));
}

void StatusBar::setUndo(bool enabled, const QString &tip)
{
    mUndo->setEnabled(enabled);
    mUndo->setToolTip(tip);
}

void StatusBar::setRedo(bool enabled, const QString &tip)
{
    mRedo->setEnabled(enabled);
    mRedo->setToolTip(tip);
}

void StatusBar::setSaveEnabled(bool enabled)
{
    mSave->setEnabled(enabled);
}

void StatusBar::setHistoryEnabled(bool enabled)
{
    mHistory->setEnabled(enabled);
}

void StatusBar::showNotice(const QString &text)
{
    mNotice->setText(text);
    mNotice->setToolTip(text);
    QTimer::singleShot(6000, mNotice, [notice = mNotice, text] {
        if (notice->text() == text)
            notice->clear();
    });
}

} // namespace kx3
