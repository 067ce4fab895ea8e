#include "gui/screen/RecordScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/fields/FieldRules.h"
#include "core/lookup/PickList.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/Prompter.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>

#include <algorithm>

namespace kx3 {

bool ScreenContext::changesAllowed() const
{
    return !db.isReadOnly();
}

RecordScreen::RecordScreen(ScreenContext &context, EditorScreen kind, QWidget *parent)
    : QWidget(parent), mContext(context), mKind(kind)
{
    connect(&context.doc, &Document::changed, this, &RecordScreen::documentChanged);
}

bool RecordScreen::showRecord()
{
    const std::optional<int> index = recordIndex(mKind, mContext.state.offset(mKind));
    if (!index || !showIndex(*index))
        return false;
    mContext.state.newRecordMode = false;
    return true;
}

bool RecordScreen::showIndex(int index)
{
    BusyCursor busy;
    if (!loadRecord(index))
        return false;
    mShown = index;
    mCreating = false;
    mStamp = recordStamp(mContext.db, shownRecord());
    recordShown();
    // After recordShown(), which may enable a button for the record it shows.
    if (!changesAllowed()) {
        for (QAbstractButton *button : findChildren<QAbstractButton *>()) {
            if (button->objectName().startsWith(QLatin1String("Confirm"))
                || std::find(mChangeButtons.begin(), mChangeButtons.end(), button)
                       != mChangeButtons.end())
                button->setEnabled(false);
        }
    }
    markShown();
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
    return true;
}

void RecordScreen::beginNewRecord()
{
    if (!canCreate() || !changesAllowed()
        || !mContext.prompter.question(QStringLiteral("Are you sure?")))
        return;
    mContext.state.newRecordMode = true;
    mCreating = true;
    loadNewRecord();
    markShown();
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
}

std::optional<int> RecordScreen::currentRecord() const
{
    return mContext.state.newRecordMode ? std::nullopt : mShown;
}

bool RecordScreen::confirm(const QString &stepAction)
{
    const bool creating = mContext.state.newRecordMode;
    if ((!creating && !mShown) || !changesAllowed())
        return false;
    if (refuseUnstorableText())
        return false;
    // Written since it was shown (an undo, a table, a patch): the boxes would
    // put back what that step wrote, or write one record's data into another.
    if (!creating && recordStamp(mContext.db, shownRecord()) != mStamp) {
        const QString name = title();
        mContext.prompter.information(
            QStringLiteral("%1 was changed since it was shown. It is shown again as it now "
                           "reads; nothing was written.")
                .arg(name));
        if (!showIndex(*mShown)) {
            mShown.reset();
            Q_EMIT recordGone(name);
        }
        return false;
    }
    if (!agreeToRanges())
        return false;
    const RecordRef before = recordRef(mKind, currentRecord());
    EditResult result;
    {
        BusyCursor busy;
        result = applyBoxes(currentRecord());
    }
    if (!result.ok() || !result.record) {
        showRefusal(result);
        return false;
    }
    // The record's index is already what it is after the step: the step's
    // news is the screen's own (takeStep), and the shared state, which
    // follows every step, is set once the step was told.
    mShown = result.record;
    mCreating = false;
    mContext.state.newRecordMode = false;
    recordConfirmed(creating);
    markShown();
    takeStep(stepAction.isNull() ? QString::fromLatin1(recordKind(mKind).confirmCaption)
                                 : stepAction,
             before, recordRef(mKind, result.record));
    mContext.state.offset(mKind) = recordOffset(mKind, *result.record);
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
    return true;
}

// The edit values carry the game's bytes, so a text they cannot hold must be
// caught here, where the box and its caption are still known. A text typed
// into a box is held to the rules of its field; a shown text the rules would
// refuse (a quote the files hold) stays as it is.
bool RecordScreen::refuseUnstorableText()
{
    const RecordKind kind = recordKind(mKind).record;
    for (const QLabel *label : findChildren<QLabel *>()) {
        auto *box = qobject_cast<QLineEdit *>(label->buddy());
        if (!box || std::find(mNotEdits.begin(), mNotEdits.end(), box) != mNotEdits.end())
            continue;
        const QString caption = label->text().remove(QLatin1Char('&')).trimmed();
        const QString key = QString::number(quintptr(box), 16) + QLatin1Char('=');
        const auto shown = std::find_if(mShownState.begin(), mShownState.end(),
                                        [&key](const QString &s) { return s.startsWith(key); });
        if (shown != mShownState.end() && shown->mid(key.size()) == box->text()) {
            if (const QString why = unstorableText(box->text(), caption); !why.isEmpty()) {
                focusBox(box);
                mContext.prompter.error(why);
                return true;
            }
            continue;
        }
        const QByteArray name = box->objectName().toLatin1();
        const FieldRow *field = nullptr;
        for (const FieldRow &f : fieldTable(kind)) {
            if ((f.widget && name == f.widget) || (f.staffWidget && name == f.staffWidget))
                field = &f;
        }
        // A field of the record is held to its own rules; any other text
        // (a misc entry) goes into a quoted misc line.
        const QString why = field && field->type == FieldType::Text
                                ? textRefusal(*field, box->text())
                                : lineTextRefusal(box->text(), caption);
        if (!why.isEmpty()) {
            focusBox(box);
            mContext.prompter.error(why);
            return true;
        }
    }
    return false;
}

void RecordScreen::describeBoxes(std::span<const EditBox> boxes)
{
    mEditBoxes.assign(boxes.begin(), boxes.end());
    mBoxLimits = boxLimits(boxes);
    mBoxAdvice = boxAdvice(boxes);
}

QList<QString> RecordScreen::boxTexts() const
{
    QList<QString> texts;
    texts.reserve(qsizetype(mBoxes.size()));
    for (const QLineEdit *box : mBoxes)
        texts.append(box->text());
    return texts;
}

// Asked before anything is written, and only about an edit whose boxes all
// convert: a refusal comes first, and a value left as it was is not asked
// about again.
bool RecordScreen::agreeToRanges()
{
    const QList<QString> texts = boxTexts();
    if (mBoxAdvice.size() != std::size_t(texts.size()) || !checkBoxes(mEditBoxes, texts).ok())
        return true;
    const QStringList questions = rangeQuestions(
        mBoxAdvice, texts, mContext.state.newRecordMode ? QList<QString>() : mShownBoxTexts);
    return storeAnyway(mContext.prompter, questions);
}

bool RecordScreen::takeStep(const QString &action, RecordRef before, RecordRef after,
                            const QString &name)
{
    if (mShown)
        mStamp = recordStamp(mContext.db, shownRecord());
    // Whatever the screen holds is already as the step leaves it.
    mOwnStep = true;
    const bool taken = mContext.doc.commitStep(
        action + QStringLiteral(" \u2014 ") + (name.isNull() ? title() : name), before, after);
    mOwnStep = false;
    return taken;
}

bool RecordScreen::recordChangedSinceShown() const
{
    return mShown && !mCreating && recordStamp(mContext.db, shownRecord()) != mStamp;
}

void RecordScreen::adoptRecordBytes()
{
    if (mShown)
        mStamp = recordStamp(mContext.db, shownRecord());
}

void RecordScreen::recordRemoved(int index, const QString &name, const QString &message)
{
    // Forgotten first: the step's news of the removal is this screen's own.
    mShown.reset();
    mStamp.clear();
    takeStep(QString::fromLatin1(recordKind(mKind).deleteCaption), recordRef(mKind, index), {},
             name);
    Q_EMIT recordDeleted(message);
}

// A screen left in the background keeps its record too: whatever brings it
// back ("Cancel", a go-to, a key) must find it showing the record as stored,
// or nothing at all.
void RecordScreen::documentChanged(const DocumentChange &change)
{
    if (!mShown || mOwnStep)
        return;
    // Another database: nothing of this one was removed by a step.
    if (change.isLoad()) {
        mShown.reset();
        mStamp.clear();
        return;
    }
    const RecordRef now = change.follow(shownRecord());
    if (!now.valid()) {
        const QString name = title();
        mShown.reset();
        mStamp.clear();
        Q_EMIT recordGone(name);
        return;
    }
    mShown = now.index;
    if (mCreating || !change.touches(now) || recordStamp(mContext.db, now) == mStamp)
        return;
    // Edits typed over the old bytes stay until the user confirms them,
    // which is then refused: he is told, never overwritten silently.
    if (!hasUnconfirmedEdits() && !showIndex(now.index)) {
        const QString name = title();
        mShown.reset();
        mStamp.clear();
        Q_EMIT recordGone(name);
    }
}

// Keyed by box, as the order of a screen's children changes when a tab or
// page is brought up.
QStringList RecordScreen::editState() const
{
    QStringList state;
    for (const QWidget *box : findChildren<QWidget *>()) {
        if (std::find(mNotEdits.begin(), mNotEdits.end(), box) != mNotEdits.end())
            continue;
        QString value;
        if (const auto *line = qobject_cast<const QLineEdit *>(box))
            value = line->text();
        else if (const auto *list = qobject_cast<const QComboBox *>(box))
            value = QString::number(list->currentIndex()) + QLatin1Char(' ') + list->currentText();
        else if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(box))
            value = spin->text();
        else if (const auto *text = qobject_cast<const QPlainTextEdit *>(box))
            value = text->toPlainText();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(box);
                 button && button->isCheckable())
            value = QString::number(button->isChecked());
        else
            continue;
        state << QString::number(quintptr(box), 16) + QLatin1Char('=') + value;
    }
    state.sort();
    return state;
}

RecordButton RecordScreen::createButton() const
{
    return {QString::fromLatin1(recordKind(mKind).createCaption), canCreate() && changesAllowed()};
}

RecordButton RecordScreen::deleteButton() const
{
    return {QString::fromLatin1(recordKind(mKind).deleteCaption), canDelete() && changesAllowed()};
}

void RecordScreen::requestRecord(EditorScreen kind, int index)
{
    Q_EMIT recordRequested(kind, recordOffset(kind, index));
}

void RecordScreen::addGoTo(QAbstractButton *button, EditorScreen kind)
{
    button->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    button->setEnabled(false);
    mGoTos.emplace_back(button, kind);
}

void RecordScreen::addGoTo(QAbstractButton *button, EditorScreen kind,
                           std::function<std::optional<int>()> target)
{
    addGoTo(button, kind);
    connect(button, &QAbstractButton::clicked, this, [this, kind, target = std::move(target)] {
        if (const std::optional<int> index = target())
            requestRecord(kind, *index);
    });
}

void RecordScreen::screenAdded(EditorScreen kind)
{
    for (const auto &[button, opens] : mGoTos) {
        if (opens == kind)
            button->setEnabled(true);
    }
}

std::optional<int> RecordScreen::chosenNation(const QComboBox *list)
{
    const int nation = list->currentIndex() - 1;
    return nation >= 0 ? std::optional(nation) : std::nullopt;
}

std::optional<int> RecordScreen::chosenRecord(const PickList &pickList, const QComboBox *list)
{
    const int index = pickList.recordIndex(list->currentIndex());
    return index >= 0 ? std::optional(index) : std::nullopt;
}

// A box outside the list is a refusal that names no box.
QWidget *RecordScreen::refusedBox(int box) const
{
    return box >= 0 && std::size_t(box) < mBoxes.size() ? mBoxes[std::size_t(box)] : nullptr;
}

void RecordScreen::showRefusal(const EditResult &refusal)
{
    QWidget *box = refusedBox(refusal.box);
    if (!box) {
        mContext.prompter.information(refusal.message);
        return;
    }
    focusBox(box);
    const auto at = std::size_t(refusal.box);
    mContext.prompter.error(refusal.message, at < mBoxLimits.size() ? mBoxLimits[at] : QString());
}

} // namespace kx3
