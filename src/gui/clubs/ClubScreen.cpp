#include "gui/clubs/ClubScreen.h"
#include "ui_ClubScreen.h"

#include "core/clubs/ClubLists.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/fields/FieldTable.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RelationshipRows.h"
#include "core/records/DeleteRecords.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/KitColourDelegate.h"
#include "gui/widgets/PanelAnchors.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/RelationshipList.h"

#include <QHeaderView>

namespace kx3 {

namespace {

const QString AreYouSure = QStringLiteral("Are you sure?");

// Hidden columns of the two lists: the sort key and the person index.
enum SquadColumn { No1, No2, PName, PPtr };
enum StaffColumn { JobColumn, SName, SPtr };

/// The person index behind the selected row of a squad or staff list, or -1.
int selectedPerson(const QTreeWidget *list, int column)
{
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        return -1;
    bool ok = false;
    const int person = selected.first()->text(column).toInt(&ok);
    return ok ? person : -1;
}

void setUpPersonList(QTreeWidget *list, std::initializer_list<int> hidden)
{
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->header()->setStretchLastSection(false);
    for (int column : hidden)
        list->setColumnHidden(column, true);
}

} // namespace

ClubScreen::ClubScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, EditorScreen::Club, parent), mUi(std::make_unique<Ui::ClubScreen>())
{
    mUi->setupUi(this);
    // The squad, staff and relationship lists share the room of a larger window.
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"PC1", "PlayerList", "StaffList", "CMiscList"}, {A::Grow, A::Grow});
    anchors->anchor({"gb20"}, {A::share(0, 3), A::Grow});
    anchors->anchor({"gb21"}, {A::share(1, 3), A::Grow});
    anchors->anchor({"gb22"}, {A::share(2, 3), A::Grow});
    anchors->anchor({"gb23"}, {A::share(2, 3), A::Move});
    anchors->anchor({"ListToPlayer", "ListToStaff", "bnCMisc", "ConfirmClub"},
                    {A::Fixed, A::Move});
    mBoxes = findBoxes(this, boxWidgetNames(RecordKind::Club));
    describeBoxes(clubBoxes());
    fillItems(mUi->ClubStatus, itemsOf(ClubStatusNames));
    fillItems(mUi->HomeMatchDay, itemsOf(MatchDayNames));
    mKitColours = {mUi->HomeCol1, mUi->HomeCol2,  mUi->AwayCol1,
                   mUi->AwayCol2, mUi->ThirdCol1, mUi->ThirdCol2};
    for (QComboBox *box : mKitColours)
        setUpKitColourBox(box);
    linkKitPreview(mUi->HomeCol1, mUi->HomeCol2, mUi->pn3);
    linkKitPreview(mUi->AwayCol1, mUi->AwayCol2, mUi->pn4);
    linkKitPreview(mUi->ThirdCol1, mUi->ThirdCol2, mUi->pn5);

    setUpPersonList(mUi->PlayerList, {No1, PPtr});
    mUi->PlayerList->header()->setSectionResizeMode(PName, QHeaderView::Stretch);
    mUi->PlayerList->setColumnWidth(No2, 26);
    setUpPersonList(mUi->StaffList, {SPtr});
    mUi->StaffList->header()->setSectionResizeMode(SName, QHeaderView::Stretch);
    mUi->StaffList->setColumnWidth(JobColumn, 86);
    setUpRelationshipList(mUi->CMiscList);

    addGoTo(mUi->bnCNat, EditorScreen::Nation, [this] { return chosenNation(mUi->CNation); });
    for (auto [button, list] :
         {std::pair(mUi->bnCMStad, mUi->CMainStad), std::pair(mUi->bnCRStad, mUi->CRsvStad)}) {
        addGoTo(button, EditorScreen::Stadium,
                [this, list = list] { return chosenRecord(mContext.lookups.stadiums(), list); });
    }
    keepToolTipsUp(this);

    connect(mUi->ConfirmClub, &QAbstractButton::clicked, this, &ClubScreen::ConfirmClubClick);
    connect(mUi->CLongName, &QLineEdit::editingFinished, this, &ClubScreen::CLongNameExit);
    connect(mUi->CNation, &QComboBox::currentIndexChanged, this,
            [this] { mNationChanged = true; });
    connect(mUi->ListToPlayer, &QAbstractButton::clicked, this, &ClubScreen::ListToPlayerClick);
    connect(mUi->PlayerList, &QTreeWidget::itemDoubleClicked, this,
            &ClubScreen::ListToPlayerClick);
    connect(mUi->ListToStaff, &QAbstractButton::clicked, this, &ClubScreen::ListToStaffClick);
    connect(mUi->StaffList, &QTreeWidget::itemDoubleClicked, this, &ClubScreen::ListToStaffClick);
    connect(mUi->bnCMisc, &QAbstractButton::clicked, this, &ClubScreen::bnCMiscClick);
    addChangeButton(mUi->bnCMisc);
    connect(mUi->CMiscList, &QTreeWidget::itemDoubleClicked, this, &ClubScreen::bnCMiscClick);
}

ClubScreen::~ClubScreen() = default;

QString ClubScreen::title() const
{
    QString title = mUi->CLongName->text();
    if (const std::optional<int> index = currentRecord();
        index && clubKind(mContext.db, *index) == ClubKind::Under21Team)
        title += QLatin1String(Under21Suffix);
    return title;
}

// The lists come from the loaded database, which does not exist yet when the
// screen is built; a new stadium joins them, so each show checks.
void ClubScreen::fillChoiceLists()
{
    const Lookups &lookups = mContext.lookups;
    refillItems(std::array{mUi->CNation}, lookups.nations());
    refillItems(std::array{mUi->CDiv, mUi->CLastDiv, mUi->COtherDiv}, lookups.competitions());
    refillItems(std::array{mUi->CMainStad, mUi->CRsvStad}, lookups.stadiums().items());
}

bool ClubScreen::loadRecord(int index)
{
    fillChoiceLists();
    const std::optional<ClubEdit> edit = loadClubEdit(mContext.db, mContext.lookups, index);
    if (edit)
        showEdit(*edit);
    return edit.has_value();
}

void ClubScreen::showEdit(const ClubEdit &e)
{
    mUi->CLongName->setText(fromCp1252(e.longName));
    mUi->CShortName->setText(fromCp1252(e.shortName));
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setText(e.boxes.value(qsizetype(i)));
    selectQuietly(mUi->ClubStatus, e.statusItem);
    selectQuietly(mUi->CNation, e.nationItem);
    selectQuietly(mUi->CDiv, e.divisionItem);
    selectQuietly(mUi->CLastDiv, e.lastDivisionItem);
    selectQuietly(mUi->COtherDiv, e.otherDivisionItem);
    selectQuietly(mUi->CMainStad, e.mainStadiumItem);
    selectQuietly(mUi->CRsvStad, e.reserveStadiumItem);
    selectQuietly(mUi->HomeMatchDay, e.homeMatchDayItem);
    for (std::size_t k = 0; k < mKitColours.size(); ++k)
        selectQuietly(mKitColours[k], e.kitColourItems[k]);
    showKitPreview(mUi->HomeCol1, mUi->HomeCol2, mUi->pn3);
    showKitPreview(mUi->AwayCol1, mUi->AwayCol2, mUi->pn4);
    showKitPreview(mUi->ThirdCol1, mUi->ThirdCol2, mUi->pn5);
    mUi->OwnStad->setChecked(e.ownStadium);
    mUi->ClubPLC->setChecked(e.plc);
    mNationChanged = false;
}

EditResult ClubScreen::applyBoxes(std::optional<int> record)
{
    ClubEdit edit;
    edit.longName = toCp1252(mUi->CLongName->text());
    edit.shortName = toCp1252(mUi->CShortName->text());
    for (QLineEdit *box : mBoxes)
        edit.boxes.append(box->text());
    edit.statusItem = mUi->ClubStatus->currentIndex();
    edit.nationItem = mUi->CNation->currentIndex();
    edit.divisionItem = mUi->CDiv->currentIndex();
    edit.lastDivisionItem = mUi->CLastDiv->currentIndex();
    edit.otherDivisionItem = mUi->COtherDiv->currentIndex();
    edit.mainStadiumItem = mUi->CMainStad->currentIndex();
    edit.reserveStadiumItem = mUi->CRsvStad->currentIndex();
    edit.homeMatchDayItem = mUi->HomeMatchDay->currentIndex();
    for (std::size_t k = 0; k < mKitColours.size(); ++k)
        edit.kitColourItems[k] = mKitColours[k]->currentIndex();
    edit.ownStadium = mUi->OwnStad->isChecked();
    edit.plc = mUi->ClubPLC->isChecked();
    edit.nationChanged = mNationChanged;
    return applyClubEdit(mContext.db, mContext.lookups, record, edit);
}

void ClubScreen::recordConfirmed(bool)
{
    mNationChanged = false;
    rebuildMiscList();
}

void ClubScreen::loadNewRecord()
{
    fillChoiceLists();
    showEdit(newClubEdit());
    rebuildLists();
    mUi->PC1->setCurrentIndex(0);
    mUi->CLongName->setFocus();
}

void ClubScreen::deleteRecord()
{
    if (!mContext.prompter.question(AreYouSure))
        return;
    mContext.prompter.information(refuseClubDeletion());
}

void ClubScreen::rebuildLists()
{
    const std::optional<int> index = currentRecord();
    QList<QTreeWidgetItem *> squad;
    QList<QTreeWidgetItem *> staff;
    if (index) {
        for (const SquadRow &row : squadRows(mContext.db, *index)) {
            squad.append(new QTreeWidgetItem(
                QStringList{QString::fromLatin1(row.sortKey), QString::number(row.number),
                            fromCp1252(row.name), QString::number(row.person)}));
        }
        for (const StaffRow &row : staffRows(mContext.db, *index)) {
            staff.append(new QTreeWidgetItem(QStringList{
                QString::fromLatin1(row.job), fromCp1252(row.name), QString::number(row.person)}));
        }
    }
    // The lists are narrow: a name cut short reads whole in its hint.
    for (QTreeWidgetItem *item : squad)
        item->setToolTip(PName, item->text(PName));
    for (QTreeWidgetItem *item : staff)
        item->setToolTip(SName, item->text(SName));
    mUi->PlayerList->clear();
    mUi->PlayerList->addTopLevelItems(squad);
    mUi->StaffList->clear();
    mUi->StaffList->addTopLevelItems(staff);
    rebuildMiscList();
}

void ClubScreen::rebuildMiscList()
{
    const std::optional<int> index = currentRecord();
    fillRelationshipList(mUi->CMiscList, index ? clubRelationshipRows(
                                             mContext.db, mContext.lookups.clubNames(), *index)
                                               : QList<RelationshipRow>());
}

void ClubScreen::relationshipsChanged(MiscListSource source)
{
    if (source == MiscListSource::Club) {
        adoptRecordBytes();
        rebuildMiscList();
    }
}

void ClubScreen::CLongNameExit()
{
    Q_EMIT titleChanged(title());
}

void ClubScreen::ListToPlayerClick()
{
    const int person = selectedPerson(mUi->PlayerList, PPtr);
    if (person >= 0)
        requestRecord(EditorScreen::Player, person);
}

void ClubScreen::ListToStaffClick()
{
    const int person = selectedPerson(mUi->StaffList, SPtr);
    if (person >= 0)
        requestRecord(EditorScreen::Staff, person);
}

void ClubScreen::bnCMiscClick()
{
    const int row = selectedRelationshipRow(mUi->CMiscList);
    if (row >= 0 && currentRecord() && changesAllowed())
        Q_EMIT miscListDialogRequested(MiscListSource::Club, row);
}

} // namespace kx3
