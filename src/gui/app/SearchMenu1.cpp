#include "SearchMenu1.h"
#include "ui_SearchMenu1.h"

#include "SearchGroup.h"
#include "core/db/Database.h"
#include "core/lookup/Search.h"
#include "gui/widgets/CancelOnEscape.h"
#include "gui/widgets/DefaultButtonGroup.h"
#include "gui/widgets/PanelAnchors.h"

namespace kx3 {

namespace {

const QString AddToMiscList = QStringLiteral("Add To Misc List");

} // namespace

SearchMenu1::SearchMenu1(QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::SearchMenu1>())
{
    mUi->setupUi(this);
    mUi->pnTransfer->hide();
    mUi->pn6->hide();
    layOutForAnySize();

    // The searches read the database at the time of the click: it is loaded
    // after the menu is built.
    auto search = [this](SearchRows (*find)(const Database &, const QByteArray &, bool)) {
        return [this, find](const QByteArray &text, bool caseSensitive) {
            return mDatabase ? find(*mDatabase, text, caseSensitive) : SearchRows();
        };
    };
    mPlayers = new SearchGroup(
        {mUi->PSearch, mUi->PCase, mUi->bnSearchPlayer, mUi->PSearchList, mUi->bnGotoPlayer},
        search(&searchPlayers), QStringLiteral("No Player found"), this);
    mStaff = new SearchGroup(
        {mUi->SSearch, mUi->SCase, mUi->bnSearchStaff, mUi->SSearchList, mUi->bnGotoStaff},
        search(&searchStaff), QStringLiteral("No Staff found"), this);
    mClubs = new SearchGroup(
        {mUi->CSearch, mUi->CCase, mUi->bnSearchClub, mUi->CSearchList, mUi->bnGotoClub},
        search(&searchClubs), QStringLiteral("No Club found"), this);

    connect(mPlayers, &SearchGroup::chosen, this,
            [this](qint64 offset) { Q_EMIT recordChosen(EditorScreen::Player, offset); });
    connect(mStaff, &SearchGroup::chosen, this,
            [this](qint64 offset) { Q_EMIT recordChosen(EditorScreen::Staff, offset); });
    connect(mClubs, &SearchGroup::chosen, this, [this](qint64 offset) {
        if (isTransferShown())
            Q_EMIT transferTargetChosen(offset);
        else
            Q_EMIT recordChosen(EditorScreen::Club, offset);
    });
    connect(mUi->MiscNone, &QPushButton::clicked, this, &SearchMenu1::setToNoneRequested);
    connect(mUi->bnSearchP2, &QPushButton::clicked, this, &SearchMenu1::otherMenuRequested);
    connect(mUi->bnApplyPatch, &QPushButton::clicked, this, &SearchMenu1::applyPatchRequested);
    connect(mUi->bnTable, &QPushButton::clicked, this, &SearchMenu1::tableRequested);
    connect(mUi->Exit2, &QPushButton::clicked, this, &SearchMenu1::exitRequested);
    cancelOnEscape(this, mUi->Exit2);
}

SearchMenu1::~SearchMenu1() = default;

void SearchMenu1::setPrompter(Prompter *prompter)
{
    for (SearchGroup *group : {mPlayers, mStaff, mClubs})
        group->setPrompter(prompter);
}

void SearchMenu1::addSearchBoxesTo(DefaultButtonGroup &group)
{
    group.add(mUi->PSearch, mUi->bnSearchPlayer);
    group.add(mUi->SSearch, mUi->bnSearchStaff);
    group.add(mUi->CSearch, mUi->bnSearchClub);
}

void SearchMenu1::focusSearch()
{
    // The club box when the menu only offers clubs.
    if (mUi->gb0->isHidden())
        mUi->CSearch->setFocus();
    else
        mUi->PSearch->setFocus();
}

void SearchMenu1::setReturnsToEditor(bool returns)
{
    mReturnsToEditor = returns;
    mUi->Exit2->setText(returns ? QStringLiteral("Cancel") : QStringLiteral("Exit"));
}

QString SearchMenu1::title() const
{
    return mUi->pn1->text();
}

void SearchMenu1::showNormalState()
{
    mUi->pnTransfer->hide();
    mUi->bnSearchP2->setEnabled(true);
    mUi->bnApplyPatch->setEnabled(!mDatabase || !mDatabase->isReadOnly());
    mUi->bnTable->setEnabled(true);
    mUi->pn6->hide();
    for (QWidget *group : {mUi->gb0, mUi->gb1, mUi->gb2})
        group->show();
    mUi->bnGotoPlayer->setText(QStringLiteral("Go To Player"));
    mUi->bnGotoStaff->setText(QStringLiteral("Go To Staff"));
    mUi->bnGotoClub->setText(QStringLiteral("Go To Club"));
    mUi->pn1->setText(QStringLiteral("Main Search Menu"));
}

// A pick or a transfer under way holds a screen's unconfirmed edits, which a
// patch or a table edit could change the data under.
void SearchMenu1::showModeFrame(const QString &title)
{
    mUi->pnTransfer->hide();
    mUi->bnSearchP2->setEnabled(false);
    mUi->bnApplyPatch->setEnabled(false);
    mUi->bnTable->setEnabled(false);
    mUi->pn1->setText(title);
    setReturnsToEditor(true);
    mUi->pn6->show();
    mUi->pn6->raise();
}

// The three groups share the extra width: the result lists get it all, the
// search boxes keep their size. The transfer panel covers the first two.
void SearchMenu1::layOutForAnySize()
{
    using A = PanelAnchors;
    mAnchors = new PanelAnchors(this);
    mAnchors->anchor({"pn1"}, {A::Grow, A::Fixed});
    QWidget *const groups[] = {mUi->gb0, mUi->gb1, mUi->gb2};
    for (int i = 0; i < 3; ++i)
        mAnchors->anchor(groups[i], {A::share(i, 3), A::Grow});
    mAnchors->anchor({"PSearchList", "SSearchList", "CSearchList"}, {A::Grow, A::Grow});
    mAnchors->anchor({"bnGotoPlayer", "bnGotoStaff", "bnGotoClub"}, {A::Grow, A::Move});
    mAnchors->anchor(mUi->pnTransfer, {{0, 2.0 / 3}, A::Grow});
    mAnchors->anchor({"bnSearchP2", "bnTable", "bnApplyPatch"}, {A::Fixed, A::Move});
    mAnchors->anchor({"Exit2"}, {A::Move, A::Move});
    placePn6(Pn6Side::Left);
}

// The frame covers the groups not offered, with its button in the middle.
void SearchMenu1::placePn6(Pn6Side side)
{
    using A = PanelAnchors;
    const bool left = side == Pn6Side::Left;
    mAnchors->anchor(mUi->pn6, {left ? A::Span{0, 2.0 / 3} : A::Span{2.0 / 3, 1}, A::Grow},
                     left ? QRect(8, 40, 394, 390) : QRect(416, 40, 185, 390));
    mAnchors->anchor(mUi->MiscNone, {A::Centre, A::Centre}, QRect(left ? 138 : 36, 182, 113, 25));
}

void SearchMenu1::showMiscListDialog(bool clubSlot)
{
    showModeFrame(QStringLiteral("Change Miscelaneous List Entry"));
    if (clubSlot) {
        mUi->gb0->hide();
        mUi->gb1->hide();
        mUi->gb2->show();
        placePn6(Pn6Side::Left);
        mUi->bnGotoClub->setText(AddToMiscList);
    } else {
        mUi->gb0->show();
        mUi->gb1->show();
        mUi->gb2->hide();
        placePn6(Pn6Side::Right);
        mUi->bnGotoPlayer->setText(AddToMiscList);
        mUi->bnGotoStaff->setText(AddToMiscList);
    }
}

void SearchMenu1::showClubPicking()
{
    showModeFrame(QStringLiteral("Select Club"));
    placePn6(Pn6Side::Left);
    mUi->gb0->hide();
    mUi->gb1->hide();
    mUi->gb2->show();
    mUi->bnGotoClub->setText(QStringLiteral("Select Club"));
}

void SearchMenu1::showTransferMenu()
{
    mUi->pn6->hide();
    mUi->gb0->hide();
    mUi->gb1->hide();
    mUi->gb2->show();
    mUi->pnTransfer->show();
    mUi->pnTransfer->raise();
    mUi->bnApplyPatch->setEnabled(false);
    mUi->bnTable->setEnabled(false);
    mUi->pn1->setText(QStringLiteral("Transfer Menu"));
    mUi->bnGotoClub->setText(QStringLiteral("Select Target Club"));
    setReturnsToEditor(true);
}

QWidget *SearchMenu1::transferPanel() const
{
    return mUi->pnTransfer;
}

bool SearchMenu1::isTransferShown() const
{
    return mUi->pnTransfer->isVisibleTo(this);
}

void SearchMenu1::setDocument(Document &doc)
{
    mPlayers->followRecords(doc, EditorScreen::Player);
    mStaff->followRecords(doc, EditorScreen::Staff);
    mClubs->followRecords(doc, EditorScreen::Club);
}

} // namespace kx3
