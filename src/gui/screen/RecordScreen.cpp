#include "gui/screen/RecordScreen.h"

#include "core/lookup/PickList.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/Prompter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>

namespace kx3 {

bool RecordScreen::showRecord()
{
    BusyCursor busy;
    const std::optional<int> index = recordIndex(mKind, mContext.state.offset(mKind));
    if (!index || !loadRecord(*index))
        return false;
    mContext.state.newRecordMode = false;
    mShown = index;
    recordShown();
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
    return true;
}

void RecordScreen::beginNewRecord()
{
    if (!canCreate() || !mContext.prompter.question(QStringLiteral("Are you sure?")))
        return;
    mContext.state.newRecordMode = true;
    loadNewRecord();
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
}

std::optional<int> RecordScreen::currentRecord() const
{
    return mContext.state.newRecordMode ? std::nullopt : mShown;
}

bool RecordScreen::confirm()
{
    const bool creating = mContext.state.newRecordMode;
    if (!creating && !mShown)
        return false;
    EditResult result;
    {
        BusyCursor busy;
        result = applyBoxes(currentRecord());
    }
    if (!result.ok() || !result.record) {
        showRefusal(result);
        return false;
    }
    mShown = result.record;
    mContext.state.offset(mKind) = recordOffset(mKind, *result.record);
    mContext.state.newRecordMode = false;
    recordConfirmed(creating);
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
    return true;
}

RecordButton RecordScreen::createButton() const
{
    return {QString::fromLatin1(recordKind(mKind).createCaption), canCreate()};
}

RecordButton RecordScreen::deleteButton() const
{
    return {QString::fromLatin1(recordKind(mKind).deleteCaption), canDelete()};
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
    mContext.prompter.error(refusal.message);
}

} // namespace kx3
