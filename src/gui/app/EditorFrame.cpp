#include "EditorFrame.h"
#include "ui_EditorFrame.h"

#include "gui/widgets/PanelAnchors.h"

#include <QLabel>
#include <QTimer>

namespace kx3 {

EditorFrame::EditorFrame(QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::EditorFrame>())
{
    mUi->setupUi(this);
    // The record editors take all the room; the buttons stay along the foot.
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"pn2"}, {A::Grow, A::Fixed});
    anchors->anchor({"pnEditPanels"}, {A::Grow, A::Grow});
    anchors->anchor(
        {"bnSearch", "bnCreateNew", "bnDelete", "bnUndo", "bnRedo", "bnChanges", "bnSave"},
        {A::Fixed, A::Move});
    anchors->anchor({"Exit3"}, {A::Move, A::Move});
    connect(mUi->bnSearch, &QPushButton::clicked, this, &EditorFrame::searchRequested);
    connect(mUi->bnCreateNew, &QPushButton::clicked, this, &EditorFrame::createRequested);
    connect(mUi->bnDelete, &QPushButton::clicked, this, &EditorFrame::deleteRequested);
    connect(mUi->bnUndo, &QPushButton::clicked, this, &EditorFrame::undoRequested);
    connect(mUi->bnRedo, &QPushButton::clicked, this, &EditorFrame::redoRequested);
    setUndoButton(false, QString());
    setRedoButton(false, QString());
    connect(mUi->bnChanges, &QPushButton::clicked, this, &EditorFrame::changesRequested);
    connect(mUi->bnSave, &QPushButton::clicked, this, &EditorFrame::saveRequested);
    connect(mUi->Exit3, &QPushButton::clicked, this, &EditorFrame::exitRequested);
}

EditorFrame::~EditorFrame() = default;

void EditorFrame::setTitle(const QString &title)
{
    mUi->pn2->setText(title);
}

void EditorFrame::showNotice(const QString &text)
{
    auto *notice = mUi->pn2->findChild<QLabel *>(QStringLiteral("lbNotice"));
    if (!notice) {
        notice = new QLabel(mUi->pn2);
        notice->setObjectName(QStringLiteral("lbNotice"));
        notice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    notice->setGeometry(mUi->pn2->rect().adjusted(0, 0, -8, 0));
    notice->setText(text);
    notice->show();
    // A later notice restarts the time: only the newest one hides it.
    const QString shown = text;
    QTimer::singleShot(4000, notice, [notice, shown] {
        if (notice->text() == shown)
            notice->hide();
    });
}

void EditorFrame::setCreateButton(const QString &caption, bool enabled)
{
    mUi->bnCreateNew->setText(caption);
    mUi->bnCreateNew->setEnabled(enabled);
}

void EditorFrame::setDeleteButton(const QString &caption, bool enabled)
{
    mUi->bnDelete->setText(caption);
    mUi->bnDelete->setEnabled(enabled);
}

void EditorFrame::setUndoButton(bool enabled, const QString &tip)
{
    mUi->bnUndo->setEnabled(enabled);
    mUi->bnUndo->setToolTip(tip);
}

void EditorFrame::setRedoButton(bool enabled, const QString &tip)
{
    mUi->bnRedo->setEnabled(enabled);
    mUi->bnRedo->setToolTip(tip);
}

void EditorFrame::setSaveButton(bool enabled)
{
    mUi->bnSave->setEnabled(enabled);
}

QString EditorFrame::title() const
{
    return mUi->pn2->text();
}

void EditorFrame::addEditorPanel(QWidget *panel)
{
    mUi->pnEditPanels->addWidget(panel);
}

void EditorFrame::showEditorPanel(QWidget *panel)
{
    mUi->pnEditPanels->setCurrentWidget(panel);
}

QWidget *EditorFrame::currentEditorPanel() const
{
    return mUi->pnEditPanels->currentWidget();
}

} // namespace kx3
