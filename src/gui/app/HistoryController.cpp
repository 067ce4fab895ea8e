#include "HistoryController.h"

#include "EditorFrame.h"
#include "HistoryDialog.h"
#include "Navigator.h"
#include "core/db/Database.h"
#include "core/document/Document.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/StatusBar.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kx3 {

namespace {

enum class HistoryKey { None, Undo, Redo };

HistoryKey historyKey(const QKeyEvent *key)
{
    const QKeyCombination pressed = key->keyCombination();
    if (pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Z))
        return HistoryKey::Undo;
    if (pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)
        || pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
        return HistoryKey::Redo;
    return HistoryKey::None;
}

/// Whether the text box with the focus has its own undo (or redo) to offer.
bool offersOwn(QWidget *box, HistoryKey key)
{
    QLineEdit *line = qobject_cast<QLineEdit *>(box);
    if (auto *list = qobject_cast<QComboBox *>(box))
        line = list->lineEdit();
    else if (qobject_cast<QAbstractSpinBox *>(box))
        line = box->findChild<QLineEdit *>();
    if (line) {
        return !line->isReadOnly()
               && (key == HistoryKey::Undo ? line->isUndoAvailable() : line->isRedoAvailable());
    }
    if (auto *text = qobject_cast<QPlainTextEdit *>(box)) {
        return !text->isReadOnly()
               && (key == HistoryKey::Undo ? text->document()->isUndoAvailable()
                                           : text->document()->isRedoAvailable());
    }
    return false;
}

QString stepTip(const char *verb, const StepInfo *step, int count, const char *done)
{
    if (!step)
        return QString();
    return QStringLiteral("%1: %2\n%3 %4 can be %5")
        .arg(QLatin1String(verb), step->label)
        .arg(count)
        .arg(count == 1 ? QStringLiteral("step") : QStringLiteral("steps"), QLatin1String(done));
}

} // namespace

HistoryController::HistoryController(QWidget *window, Document &doc, Navigator &navigator,
                                     EditorFrame &editor, StatusBar &bar)
    : QObject(window), mWindow(window), mDoc(doc), mNavigator(navigator), mEditor(editor),
      mBar(bar), mUndo(new QAction(window)), mRedo(new QAction(window))
{
    mUndo->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
    mRedo->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z),
                         QKeySequence(Qt::ControlModifier | Qt::Key_Y)});
    for (QAction *action : {mUndo, mRedo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    connect(mUndo, &QAction::triggered, this, &HistoryController::undo);
    connect(mRedo, &QAction::triggered, this, &HistoryController::redo);
    connect(&editor, &EditorFrame::undoRequested, this, &HistoryController::undo);
    connect(&editor, &EditorFrame::redoRequested, this, &HistoryController::redo);
    connect(&bar, &StatusBar::undoRequested, this, &HistoryController::undo);
    connect(&bar, &StatusBar::redoRequested, this, &HistoryController::redo);
    connect(&bar, &StatusBar::historyRequested, this, &HistoryController::showHistory);
    connect(&doc, &Document::historyChanged, this, &HistoryController::update);
    qApp->installEventFilter(this);
    update();
}

HistoryController::~HistoryController()
{
    qApp->removeEventFilter(this);
}

bool HistoryController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && watched == QApplication::focusWidget()
        && mWindow->isAncestorOf(static_cast<QWidget *>(watched))) {
        const HistoryKey key = historyKey(static_cast<QKeyEvent *>(event));
        if (key != HistoryKey::None && !offersOwn(static_cast<QWidget *>(watched), key))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void HistoryController::update()
{
    const Database &db = mDoc.db();
    const EditHistory &history = db.history();
    const QString undo = stepTip("Undo", history.undoStep(), history.undoCount(), "undone");
    const QString redo = stepTip("Redo", history.redoStep(), history.redoCount(), "redone");
    const bool canUndo = history.canUndo() && !db.isReadOnly();
    const bool canRedo = history.canRedo() && !db.isReadOnly();
    mEditor.setUndoButton(canUndo, undo);
    mEditor.setRedoButton(canRedo, redo);
    mBar.setUndo(canUndo, undo);
    mBar.setRedo(canRedo, redo);
    mBar.setHistoryEnabled(db.isLoaded() && history.stepCount() > 0);
    mBar.setModified(db.isModified(), history.stepsFromClean());
    mUndo->setEnabled(canUndo);
    mRedo->setEnabled(canRedo);
}

void HistoryController::undo()
{
    move(true);
}

void HistoryController::redo()
{
    move(false);
}

void HistoryController::move(bool undo)
{
    const EditHistory &history = mDoc.db().history();
    if (!(undo ? history.canUndo() : history.canRedo()) || mDoc.db().isReadOnly())
        return;
    // Edits applied now are a step of their own: the user sees them taken,
    // and the next undo takes them back.
    const int steps = history.undoCount();
    if (!mNavigator.leaveRecord() || history.undoCount() != steps)
        return;
    std::optional<StepInfo> step;
    {
        BusyCursor busy;
        step = undo ? mDoc.undo() : mDoc.redo();
    }
    if (!step)
        return;
    mBar.showNotice((undo ? QStringLiteral("Undone: ") : QStringLiteral("Redone: "))
                    + step->label);
    mNavigator.showStepPlace(undo ? step->before : step->after);
}

void HistoryController::moveTo(int position)
{
    const EditHistory &history = mDoc.db().history();
    if (position == history.position() || mDoc.db().isReadOnly())
        return;
    const int steps = history.undoCount();
    if (!mNavigator.leaveRecord() || history.undoCount() != steps)
        return;
    const bool undoing = position < history.position();
    // The step that takes the history to `position` last is the place shown.
    const StepInfo last = history.stepInfo(undoing ? position : position - 1);
    {
        BusyCursor busy;
        mDoc.moveTo(position);
    }
    if (history.position() != position)
        return;
    mBar.showNotice(QStringLiteral("%1 %2 steps")
                        .arg(undoing ? QStringLiteral("Undone") : QStringLiteral("Redone"))
                        .arg(std::abs(position - steps)));
    // The data are now as that step found (or left) them, so its record is
    // named in their terms.
    mNavigator.showStepPlace(undoing ? last.before : last.after);
}

void HistoryController::showHistory()
{
    const EditHistory &history = mDoc.db().history();
    QStringList labels;
    for (int i = 0; i < history.stepCount(); ++i)
        labels << history.stepInfo(i).label;
    HistoryDialog dialog(labels, history.position(), mWindow);
    connect(&dialog, &HistoryDialog::positionChosen, this, [this, &dialog](int position) {
        moveTo(position);
        dialog.setPosition(mDoc.db().history().position());
    });
    dialog.exec();
}

} // namespace kx3
