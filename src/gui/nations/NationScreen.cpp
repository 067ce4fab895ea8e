#include "gui/nations/NationScreen.h"
#include "ui_NationScreen.h"

#include "core/db/Cp1252.h"
#include "core/fields/FieldTable.h"
#include "core/layout/NationRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/PickList.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/KitColourDelegate.h"
#include "gui/widgets/PanelAnchors.h"

namespace kx3 {

namespace {

// A name longer than its box reads from its start, not from where Qt leaves
// the cursor after setText.
void showText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

} // namespace

NationScreen::NationScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, EditorScreen::Nation, parent),
      mUi(std::make_unique<Ui::NationScreen>())
{
    mUi->setupUi(this);
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"PC4"}, {A::Grow, A::Grow});
    anchors->anchor({"ConfirmNation"}, {A::Fixed, A::Move});
    mBoxes = findBoxes(this, boxWidgetNames(RecordKind::Nation));
    describeBoxes(nationBoxes());
    fillItems(mUi->NContinent, itemsOf(ContinentItems));
    fillItems(mUi->NReg, itemsOf(RegionNames));
    fillItems(mUi->NActReg, itemsOf(ActualRegionNames));
    mLanguages = {mUi->N1Lang, mUi->N2Lang, mUi->N3Lang};
    for (QComboBox *box : mLanguages)
        fillItems(box, itemsOf(LanguageNames));
    fillItems(mUi->DevSt, itemsOf(DevelopmentStateNames));
    fillItems(mUi->GroupM, itemsOf(GroupMembershipNames));
    mKitColours = {mUi->NatHCol1, mUi->NatHCol2, mUi->NatACol1,
                   mUi->NatACol2, mUi->NatTCol1, mUi->NatTCol2};
    for (QComboBox *box : mKitColours)
        setUpKitColourBox(box);
    linkKitPreview(mUi->NatHCol1, mUi->NatHCol2, mUi->pn8);
    linkKitPreview(mUi->NatACol1, mUi->NatACol2, mUi->pn9);
    linkKitPreview(mUi->NatTCol1, mUi->NatTCol2, mUi->pn10);
    mRivals = {mUi->NRiv1, mUi->NRiv2, mUi->NRiv3};

    addGoTo(mUi->bnNCity, EditorScreen::City,
            [this] { return chosenRecord(mContext.lookups.cities(), mUi->NCity); });
    addGoTo(mUi->bnNStad, EditorScreen::Stadium,
            [this] { return chosenRecord(mContext.lookups.stadiums(), mUi->NStad); });
    keepToolTipsUp(this);

    connect(mUi->ConfirmNation, &QAbstractButton::clicked, this,
            &NationScreen::ConfirmNationClick);
}

NationScreen::~NationScreen() = default;

QString NationScreen::title() const
{
    return mUi->NLName->text();
}

// The lists come from the loaded database, which does not exist yet when the
// screen is built; a new city or stadium joins them, so each show checks.
void NationScreen::fillChoiceLists()
{
    const Lookups &lookups = mContext.lookups;
    refillItems(mRivals, lookups.nations());
    refillItems(std::array{mUi->NCity}, lookups.cities().items());
    refillItems(std::array{mUi->NStad}, lookups.stadiums().items());
}

bool NationScreen::loadRecord(int index)
{
    fillChoiceLists();
    const std::optional<NationEdit> edit = loadNationEdit(mContext.db, mContext.lookups, index);
    if (edit)
        showEdit(*edit);
    return edit.has_value();
}

void NationScreen::showEdit(const NationEdit &e)
{
    showText(mUi->NLName, fromCp1252(e.longName));
    showText(mUi->NSName, fromCp1252(e.shortName));
    showText(mUi->NAbbr, fromCp1252(e.abbreviation));
    showText(mUi->NAdj, fromCp1252(e.nationalityName));
    showText(mUi->NClubs, e.clubCount);
    showText(mUi->NStaff, e.personCount);
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        showText(mBoxes[i], e.boxes.value(qsizetype(i)));
    selectQuietly(mUi->NContinent, e.continentItem);
    selectQuietly(mUi->NReg, e.regionItem);
    selectQuietly(mUi->NActReg, e.actualRegionItem);
    for (std::size_t k = 0; k < mLanguages.size(); ++k)
        selectQuietly(mLanguages[k], e.languageItems[k]);
    selectQuietly(mUi->NCity, e.capitalCityItem);
    selectQuietly(mUi->DevSt, e.developmentStateItem);
    selectQuietly(mUi->GroupM, e.groupMembershipItem);
    selectQuietly(mUi->NStad, e.nationalStadiumItem);
    for (std::size_t k = 0; k < mKitColours.size(); ++k)
        selectQuietly(mKitColours[k], e.kitColourItems[k]);
    showKitPreview(mUi->NatHCol1, mUi->NatHCol2, mUi->pn8);
    showKitPreview(mUi->NatACol1, mUi->NatACol2, mUi->pn9);
    showKitPreview(mUi->NatTCol1, mUi->NatTCol2, mUi->pn10);
    for (std::size_t k = 0; k < mRivals.size(); ++k)
        selectQuietly(mRivals[k], e.rivalItems[k]);
}

NationEdit NationScreen::editOfBoxes() const
{
    NationEdit e;
    e.longName = toCp1252(mUi->NLName->text());
    e.shortName = toCp1252(mUi->NSName->text());
    e.abbreviation = toCp1252(mUi->NAbbr->text());
    e.nationalityName = toCp1252(mUi->NAdj->text());
    e.clubCount = mUi->NClubs->text();
    e.personCount = mUi->NStaff->text();
    for (const QLineEdit *box : mBoxes)
        e.boxes.append(box->text());
    e.continentItem = mUi->NContinent->currentIndex();
    e.regionItem = mUi->NReg->currentIndex();
    e.actualRegionItem = mUi->NActReg->currentIndex();
    for (std::size_t k = 0; k < mLanguages.size(); ++k)
        e.languageItems[k] = mLanguages[k]->currentIndex();
    e.capitalCityItem = mUi->NCity->currentIndex();
    e.developmentStateItem = mUi->DevSt->currentIndex();
    e.groupMembershipItem = mUi->GroupM->currentIndex();
    e.nationalStadiumItem = mUi->NStad->currentIndex();
    for (std::size_t k = 0; k < mKitColours.size(); ++k)
        e.kitColourItems[k] = mKitColours[k]->currentIndex();
    for (std::size_t k = 0; k < mRivals.size(); ++k)
        e.rivalItems[k] = mRivals[k]->currentIndex();
    return e;
}

// Nations are never added: there is always the nation shown.
EditResult NationScreen::applyBoxes(std::optional<int> record)
{
    return applyNationEdit(mContext.db, mContext.lookups, record.value_or(-1), editOfBoxes());
}

} // namespace kx3
