#include "Navigator.h"

#include "EditorFrame.h"
#include "EditorScreens.h"
#include "SearchGroup.h"
#include "SearchMenu1.h"
#include "SearchMenu2.h"
#include "SearchMenuModes.h"
#include "TablePanel.h"
#include "core/db/Database.h"
#include "core/document/Document.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/StatusBar.h"

#include <QStackedWidget>

namespace kx3 {

Navigator::Navigator(const Panels &panels, EditorScreens &screens, SearchMenuModes &modes,
                     Document &doc, EditorState &state, Prompter &prompter, StatusBar &bar,
                     QObject *parent)
    : QObject(parent), mPanels(panels), mScreens(screens), mModes(modes), mDoc(doc), mState(state),
      mPrompter(prompter), mBar(bar)
{
    connect(&doc, &Document::changed, this, &Navigator::documentChanged);
    connect(&screens, &EditorScreens::currentRecordGone, this, &Navigator::currentRecordGone);
}

QWidget *Navigator::currentPanel() const
{
    return mPanels.stack->currentWidget();
}

void Navigator::showPanel(QWidget *panel)
{
    if (panel == mPanels.search2)
        mPanels.search2->setDataToolsEnabled(!mPanels.search1->isTransferShown());
    mPanels.stack->setCurrentWidget(panel);
}

// A screen whose record another step wrote while the user's edits waited
// behind the panel in front (a table edit, a patch) asks before he goes on:
// its confirm would be refused.
void Navigator::showEditor()
{
    showPanel(mPanels.editor);
    RecordScreen *screen = mScreens.current();
    if (screen && screen->hasUnconfirmedEdits() && screen->recordChangedSinceShown()
        && mPrompter.question(QStringLiteral("%1 was changed by another step since you began "
                                             "editing it. Show it as it now reads? The changes "
                                             "on the screen are dropped.")
                                  .arg(screen->title())))
        mScreens.dropEdits();
}

void Navigator::showMainSearchMenu()
{
    showPanel(mPanels.search1);
    mPanels.search1->focusSearch();
}

void Navigator::showSearchMenu(SearchMenuId menu)
{
    mSearchMarker = menu;
    if (menu == SearchMenuId::Main) {
        mPanels.search1->focusSearch();
        showPanel(mPanels.search1);
    } else {
        mPanels.search2->focusSearch();
        showPanel(mPanels.search2);
    }
}

void Navigator::returnToSearch()
{
    mScreens.abandonNewRecord();
    mModes.end();
    mPanels.search1->showNormalState();
    mPanels.search1->setReturnsToEditor(true);
    mPanels.search2->setReturnsToEditor(mPanels.search1->returnsToEditor());
    showSearchMenu(mSearchMarker);
}

void Navigator::openRecord(EditorScreen kind, qint64 offset)
{
    mScreens.open(kind, offset);
    showEditor();
    rememberShown();
}

void Navigator::rememberShown()
{
    const RecordScreen *screen = mScreens.current();
    if (!screen || !screen->shownRecord().valid())
        return;
    const Place place{screen->kind(), screen->shownRecord()};
    if (mAt >= 0 && mPlaces[std::size_t(mAt)].ref == place.ref
        && mPlaces[std::size_t(mAt)].screen == place.screen)
        return;
    mPlaces.resize(std::size_t(mAt + 1));
    mPlaces.push_back(place);
    mAt = int(mPlaces.size()) - 1;
}

void Navigator::requestRef(RecordKind kind, int index)
{
    if (kind == RecordKind::Misc || !leaveRecord())
        return;
    mScreens.open({kind, index}, EditorScreen::Player);
    showEditor();
    rememberShown();
}

void Navigator::requestRecord(EditorScreen kind, qint64 offset)
{
    if (leaveRecord())
        openRecord(kind, offset);
}

// The person and club lists also serve the misc-list dialog and club
// picking; only a plain search opens the record, and remembers the list it
// came from for its neighbours.
void Navigator::recordChosen(EditorScreen kind, qint64 offset)
{
    if (mModes.pick(kind, offset) || !leaveRecord())
        return;
    mOpenedFrom = nullptr;
    for (SearchGroup *group : groups()) {
        if (group->kind() == kind && group->selectedOffset() == offset)
            mOpenedFrom = group;
    }
    openRecord(kind, offset);
}

void Navigator::showStepPlace(RecordRef place)
{
    const EditorScreen preferred = [this] {
        const RecordScreen *screen = mScreens.current();
        return screen ? screen->kind() : EditorScreen::Player;
    }();
    // The table stays in front, read again by itself; the editor behind it
    // shows the step's record.
    if (currentPanel() == mPanels.table) {
        if (place.valid())
            mScreens.open(place, preferred);
        return;
    }
    if (!place.valid()) {
        returnToSearch();
        return;
    }
    mModes.end();
    mPanels.search1->showNormalState();
    mScreens.open(place, preferred);
    showEditor();
}

bool Navigator::leaveRecord()
{
    RecordScreen *screen = mScreens.current();
    if (!screen || !screen->hasUnconfirmedEdits())
        return true;
    // Nothing can be applied: what was typed is only dropped.
    if (mDoc.db().isReadOnly()) {
        mScreens.dropEdits();
        return true;
    }
    // The question is about the screen: it is in front while asked, and
    // stays there with the refusal shown when the confirm is refused.
    showPanel(mPanels.editor);
    switch (mPrompter.questionWithCancel(
        QStringLiteral("Apply the changes to %1?").arg(screen->title()))) {
    case Prompter::Answer::Yes: return screen->confirm();
    case Prompter::Answer::No: mScreens.dropEdits(); return true;
    case Prompter::Answer::Cancel: break;
    }
    return false;
}

void Navigator::goToPlace(int at)
{
    if (at < 0 || at >= int(mPlaces.size()) || !leaveRecord())
        return;
    mAt = at;
    const Place place = mPlaces[std::size_t(at)];
    mScreens.open(place.screen, recordOffset(place.screen, place.ref.index));
    showEditor();
}

void Navigator::back()
{
    goToPlace(currentPanel() == mPanels.editor ? mAt - 1 : mAt);
}

void Navigator::forward()
{
    goToPlace(mAt + 1);
}

void Navigator::neighbour(int delta)
{
    const RecordScreen *screen = mScreens.current();
    if (!mOpenedFrom || currentPanel() != mPanels.editor || !screen
        || mOpenedFrom->kind() != screen->kind() || !leaveRecord())
        return;
    SearchGroup *from = mOpenedFrom;
    if (!from->openNeighbour(mState.offset(screen->kind()), delta))
        mBar.showNotice(delta > 0 ? QStringLiteral("The last result is shown")
                                  : QStringLiteral("The first result is shown"));
    mOpenedFrom = from;
}

void Navigator::finishDeletion(const QString &message)
{
    returnToSearch();
    mState.newRecordMode = false;
    mPrompter.information(message);
    // The editor behind the search menu shows club 0, the one record sure to
    // be there.
    mScreens.open(EditorScreen::Club, 0);
}

// The places opened follow their records; one whose record is gone is gone.
void Navigator::documentChanged(const DocumentChange &change)
{
    std::vector<Place> kept;
    int at = -1;
    for (int i = 0; i < int(mPlaces.size()); ++i) {
        Place place = mPlaces[std::size_t(i)];
        place.ref = change.follow(place.ref);
        if (place.ref.valid())
            kept.push_back(place);
        if (i <= mAt)
            at = int(kept.size()) - 1;
    }
    mPlaces = std::move(kept);
    mAt = at;
}

void Navigator::currentRecordGone(const QString &name)
{
    mBar.showNotice(QStringLiteral("%1 is no longer in the database").arg(name));
    if (currentPanel() == mPanels.editor)
        returnToSearch();
}

std::vector<SearchGroup *> Navigator::groups() const
{
    return {mPanels.search1->players(),   mPanels.search1->staff(),   mPanels.search1->clubs(),
            mPanels.search2->officials(), mPanels.search2->nations(), mPanels.search2->stadiums(),
            mPanels.search2->cities()};
}

} // namespace kx3
