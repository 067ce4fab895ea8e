#include "SearchMenu2.h"
#include "ui_SearchMenu2.h"

#include "SearchGroup.h"
#include "core/db/Database.h"
#include "core/lookup/Search.h"
#include "gui/widgets/CancelOnEscape.h"
#include "gui/widgets/DefaultButtonGroup.h"
#include "gui/widgets/PanelAnchors.h"
#include "gui/widgets/ResultList.h"
#include "gui/widgets/SearchResultModel.h"

namespace kx3 {

SearchMenu2::SearchMenu2(QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::SearchMenu2>())
{
    mUi->setupUi(this);
    layOutForAnySize();

    auto search = [this](SearchRows (*find)(const Database &, const QByteArray &, bool)) {
        return [this, find](const QByteArray &text, bool caseSensitive) {
            return mDatabase ? find(*mDatabase, text, caseSensitive) : SearchRows();
        };
    };
    mOfficials = new SearchGroup(
        {mUi->OSearch, mUi->OCase, mUi->bnSearchOff, mUi->OSearchList, mUi->bnGotoOff},
        search(&searchOfficials), QStringLiteral("No Official found"), this);
    mNations = new SearchGroup(
        {mUi->NSearch, nullptr, mUi->bnSearchNation, mUi->NSearchList, mUi->bnGotoNation},
        search(&searchNations), QStringLiteral("No Nation found"), this);
    mStadiums = new SearchGroup(
        {mUi->StadSearch, nullptr, mUi->bnSearchStad, mUi->StadSearchList, mUi->bnGotoStad},
        search(&searchStadiums), QStringLiteral("No Stadium found"), this);
    mCities = new SearchGroup(
        {mUi->CtSearch, nullptr, mUi->bnSearchCity, mUi->CtSearchList, mUi->bnGotoCity},
        search(&searchCities), QStringLiteral("No City found"), this);
    // There is no competition search; the group only keeps the menu's shape.
    setUpResultList(mUi->CompSearchList, new SearchResultModel(this));

    for (auto [group, kind] :
         {std::pair(mOfficials, EditorScreen::Official), std::pair(mNations, EditorScreen::Nation),
          std::pair(mStadiums, EditorScreen::Stadium), std::pair(mCities, EditorScreen::City)}) {
        connect(group, &SearchGroup::chosen, this,
                [this, kind = kind](qint64 offset) { Q_EMIT recordChosen(kind, offset); });
    }
    connect(mUi->bnSearchP1, &QPushButton::clicked, this, &SearchMenu2::otherMenuRequested);
    connect(mUi->bnApplyPatch2, &QPushButton::clicked, this, &SearchMenu2::applyPatchRequested);
    connect(mUi->bnTable2, &QPushButton::clicked, this, &SearchMenu2::tableRequested);
    connect(mUi->Exit4, &QPushButton::clicked, this, &SearchMenu2::exitRequested);
    cancelOnEscape(this, mUi->Exit4);
}

// The four search groups share the extra width and take all the height: the
// competition group below has no search to show.
void SearchMenu2::layOutForAnySize()
{
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"pn7"}, {A::Grow, A::Fixed});
    QWidget *const groups[] = {mUi->gb43, mUi->gb44, mUi->gb46, mUi->gb45};
    for (int i = 0; i < 4; ++i)
        anchors->anchor(groups[i], {A::share(i, 4), A::Grow});
    anchors->anchor({"OSearchList", "NSearchList", "StadSearchList", "CtSearchList"},
                    {A::Grow, A::Grow});
    anchors->anchor({"bnGotoOff", "bnGotoNation", "bnGotoStad", "bnGotoCity"}, {A::Grow, A::Move});
    anchors->anchor({"gb47"}, {A::Grow, A::Move});
    anchors->anchor({"CompSearchList"}, {A::Grow, A::Fixed});
    anchors->anchor({"bnSearchP1", "bnTable2", "bnApplyPatch2"}, {A::Fixed, A::Move});
    anchors->anchor({"Exit4"}, {A::Move, A::Move});
}

SearchMenu2::~SearchMenu2() = default;

void SearchMenu2::setPrompter(Prompter *prompter)
{
    for (SearchGroup *group : {mOfficials, mNations, mStadiums, mCities})
        group->setPrompter(prompter);
}

void SearchMenu2::addSearchBoxesTo(DefaultButtonGroup &group)
{
    group.add(mUi->OSearch, mUi->bnSearchOff);
    group.add(mUi->NSearch, mUi->bnSearchNation);
    group.add(mUi->CtSearch, mUi->bnSearchCity);
    group.add(mUi->StadSearch, mUi->bnSearchStad);
    group.add(mUi->CompSearch, mUi->bnSearchComp);
}

void SearchMenu2::focusSearch()
{
    mUi->OSearch->setFocus();
}

void SearchMenu2::setReturnsToEditor(bool returns)
{
    mReturnsToEditor = returns;
    mUi->Exit4->setText(returns ? QStringLiteral("Cancel") : QStringLiteral("Exit"));
}

void SearchMenu2::setDataToolsEnabled(bool enabled)
{
    mUi->bnApplyPatch2->setEnabled(enabled && (!mDatabase || !mDatabase->isReadOnly()));
    mUi->bnTable2->setEnabled(enabled);
}

void SearchMenu2::setDocument(Document &doc)
{
    mOfficials->followRecords(doc, EditorScreen::Official);
    mNations->followRecords(doc, EditorScreen::Nation);
    mStadiums->followRecords(doc, EditorScreen::Stadium);
    mCities->followRecords(doc, EditorScreen::City);
}

} // namespace kx3
