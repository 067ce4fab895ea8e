#include "StaffScreen.h"
#include "ui_StaffScreen.h"

#include "PersonRelationshipList.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/db/Lookups.h"
#include "core/db/MiscEntries.h"
#include "core/db/NameTables.h"
#include "core/people/CodeLists.h"
#include "core/people/PersonRecord.h"
#include "core/people/PersonTables.h"
#include "core/people/RoleRules.h"
#include "core/people/StaffAttributes.h"
#include "gui/app/BusyCursor.h"
#include "gui/app/Prompter.h"

#include <QEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <utility>

namespace kx3 {

namespace {

const QString NoClub = QStringLiteral("No Club");
const QString CreateCaption = QStringLiteral("Create New Staff");
const QString DeleteCaption = QStringLiteral("Delete Staff");
const QString AreYouSure = QString::fromLatin1(RoleMessage::AreYouSure);

template <std::size_t N>
void fillItems(QComboBox *list, const std::array<const char *, N> &names)
{
    QStringList items;
    for (const char *name : names)
        items.append(QString::fromLatin1(name));
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(items);
}

/// Selects `item` when the list holds it, otherwise nothing.
void selectQuietly(QComboBox *list, qint64 item)
{
    setIndexQuietly(list, item >= 0 && item < list->count() ? int(item) : -1);
}

} // namespace

StaffScreen::StaffScreen(Database &db, Lookups &lookups, EditorState &state, Prompter *prompter,
                         QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::StaffScreen>()), mDb(db), mLookups(lookups),
      mState(state), mPrompter(prompter)
{
    mUi->setupUi(this);
    setFixedSize(size());
    mMental.add(this, StaffMentalFields);
    mAttributes.add(this, StaffAbilityFields);
    mAttributes.add(this, StaffRatingFields);
    mBirth = {mUi->SDOB1, mUi->SDOB2, mUi->SDOB3};
    mNationalJoined = {mUi->NatJ1, mUi->NatJ2, mUi->NatJ3};
    mNationalContractEnd = {mUi->NatE1, mUi->NatE2, mUi->NatE3};
    mJoined = {mUi->SJoin1, mUi->SJoin2, mUi->SJoin3};
    mContractEnd = {mUi->SConEnd1, mUi->SConEnd2, mUi->SConEnd3};
    fillItems(mUi->SJob1, JobNames);
    fillItems(mUi->SJob2, JobNames);
    fillItems(mUi->SClass, ClassificationNames);
    fillItems(mUi->SFor, FormationNames);
    setUpRelationshipList(mUi->SMiscList);
    mUi->SClub->installEventFilter(this);
    keepToolTipsUp(this);
    connectHandlers();
}

StaffScreen::~StaffScreen() = default;

void StaffScreen::connectHandlers()
{
    connect(mUi->SFName, &QLineEdit::textChanged, this, &StaffScreen::SFNameChange);
    connect(mUi->SSName, &QLineEdit::textChanged, this, &StaffScreen::SSNameChange);
    connect(mUi->SCName, &QLineEdit::textChanged, this, &StaffScreen::SCNameChange);
    connect(mUi->SNation, &QComboBox::currentIndexChanged, this, &StaffScreen::SNationChange);
    connect(mUi->MConf, &QLineEdit::textChanged, this, &StaffScreen::MiscFieldChange);
    connect(mUi->SIntRet, &QCheckBox::toggled, this, &StaffScreen::MiscFieldChange);
    connect(mUi->SJob1, &QComboBox::currentIndexChanged, this, &StaffScreen::SJob1Change);
    connect(mUi->SClass, &QComboBox::currentIndexChanged, this, &StaffScreen::SClassChange);
    connect(mUi->ConfirmStaff, &QPushButton::clicked, this, [this] { ConfirmStaffClick(); });
    connect(mUi->bnSMax, &QPushButton::clicked, this, &StaffScreen::bnSMaxClick);
    connect(mUi->STransfer, &QPushButton::clicked, this, &StaffScreen::transferRequested);
    connect(mUi->bnPlaying, &QPushButton::clicked, this, &StaffScreen::bnPlayingClick);
    connect(mUi->bnSMisc, &QPushButton::clicked, this, &StaffScreen::bnSMiscClick);
    connect(mUi->SMiscList, &QTreeWidget::itemDoubleClicked, this, &StaffScreen::bnSMiscClick);
    connect(mUi->bnSToClub, &QToolButton::clicked, this, &StaffScreen::bnSToClubClick);
    connect(mUi->bnSNat, &QToolButton::clicked, this, [this] { goToNation(mUi->SNation); });
    connect(mUi->bnSSecNat, &QToolButton::clicked, this, [this] { goToNation(mUi->SSecNation); });
    connect(mUi->bnSNatTeam, &QToolButton::clicked, this, [this] { goToNation(mUi->SNatTeam); });
}

// The club panel is a label; a double-click on it goes to the club.
bool StaffScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mUi->SClub && event->type() == QEvent::MouseButtonDblClick) {
        if (mUi->SClub->text() != NoClub)
            bnSToClubClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void StaffScreen::fillLists()
{
    QStringList items;
    for (const QByteArray &name : mLookups.nations())
        items.append(fromCp1252(name));
    if (mUi->SNation->count() == items.size()) {
        bool same = true;
        for (int i = 0; same && i < items.size(); ++i)
            same = mUi->SNation->itemText(i) == items.at(i);
        if (same)
            return;
    }
    for (QComboBox *list : {mUi->SNation, mUi->SSecNation, mUi->SNatTeam}) {
        const QSignalBlocker block(list);
        list->clear();
        list->addItems(items);
    }
}

QString StaffScreen::title() const
{
    return mUi->SFName->text() + QLatin1Char(' ') + mUi->SSName->text();
}

StaffScreen::ChangedFlags StaffScreen::changedFlags() const
{
    return {mFirstNameChanged, mSecondNameChanged, mCommonNameChanged, mNationalityChanged,
            mMiscChanged};
}

void StaffScreen::clearFlags()
{
    mFirstNameChanged = mSecondNameChanged = mCommonNameChanged = false;
    mNationalityChanged = mMiscChanged = false;
}

std::optional<int> StaffScreen::currentPerson() const
{
    if (mState.newRecordMode || mState.personOffset < 0
        || mState.personOffset % RecordSize::Person != 0)
        return std::nullopt;
    const qint64 index = mState.personOffset / RecordSize::Person;
    if (!person(mDb, index))
        return std::nullopt;
    return int(index);
}

void StaffScreen::setEditing(bool existingRecord)
{
    mUi->STransfer->setEnabled(existingRecord);
    Q_EMIT deleteButtonChanged(DeleteCaption, existingRecord);
}

QByteArray StaffScreen::clubLongNameOfPanel() const
{
    // Misc lines carry the club's long name; the panel shows the short one.
    if (mUi->SClub->text() == NoClub)
        return {};
    const int club = mLookups.clubNames().indexOfIgnoringCase(toCp1252(mUi->SClub->text()));
    return club >= 0 ? ClubLongName(mDb, club) : QByteArray();
}

void StaffScreen::SFNameChange()
{
    Q_EMIT titleChanged(title());
    if (!mFilling)
        mFirstNameChanged = mMiscChanged = true;
}

void StaffScreen::SSNameChange()
{
    Q_EMIT titleChanged(title());
    if (!mFilling)
        mSecondNameChanged = mMiscChanged = true;
}

void StaffScreen::SCNameChange()
{
    if (!mFilling)
        mCommonNameChanged = mMiscChanged = true;
}

// Names are looked up per nation, so a new nationality resolves all three again.
void StaffScreen::SNationChange()
{
    if (mFilling)
        return;
    mFirstNameChanged = mSecondNameChanged = mCommonNameChanged = true;
    mNationalityChanged = true;
}

void StaffScreen::MiscFieldChange()
{
    if (!mFilling)
        mMiscChanged = true;
}

// National team C + k belongs to nation k, which is item k + 1. A stored
// duty that names no national team (a club, an under-21 team) shows no item
// and is kept until the user chooses one.
void StaffScreen::showNatTeam(std::int32_t value)
{
    const qint64 item = value < 0 ? 0 : qint64(value) + 1 - mDb.clubCount();
    selectQuietly(mUi->SNatTeam, value >= 0 && item < 1 ? -1 : item);
}

std::optional<std::int32_t> StaffScreen::natTeamValue() const
{
    const int item = mUi->SNatTeam->currentIndex();
    if (item < 0)
        return std::nullopt;
    if (item == 0)
        return PersonNone::Club;
    return std::int32_t(mDb.clubCount() + item - 1);
}

void StaffScreen::ShowStaff()
{
    BusyCursor busy;
    mState.newRecordMode = false;
    const std::optional<int> index = currentPerson();
    if (!index)
        return;
    fillLists();
    const PersonRecord p = *person(mDb, *index);
    mFilling = true;

    mUi->SFName->setText(fromCp1252(FirstNameText(mDb, p.firstName())));
    mUi->SSName->setText(fromCp1252(SecondNameText(mDb, p.secondName())));
    mUi->SCName->setText(fromCp1252(CommonNameText(mDb, p.commonName())));
    mBirth.show(p.dateOfBirth());
    // A nationality the list does not hold (-2 among them) shows no item.
    selectQuietly(mUi->SNation, qint64(p.nationality()) + 1);
    selectQuietly(mUi->SSecNation, std::max<qint64>(0, qint64(p.secondNationality()) + 1));
    mUi->SCap->setText(QString::number(p.caps()));
    mUi->SGoal->setText(QString::number(p.goals()));

    showNatTeam(p.nationalTeam());
    selectQuietly(mUi->SJob2, p.nationalJob());
    mNationalJoined.show(p.nationalJoined());
    mNationalContractEnd.show(p.nationalContractEnd());

    const bool hasClub = p.club() >= 0;
    mUi->SClub->setText(hasClub ? fromCp1252(ClubShortName(mDb, p.club())) : NoClub);
    mUi->bnSToClub->setEnabled(hasClub);
    selectQuietly(mUi->SJob1, p.job());
    mJoined.show(p.joined());
    mContractEnd.show(p.contractEnd());

    mMental.show(*p.image(), p.offset());
    selectQuietly(mUi->SClass, p.classification());
    mUi->bnPlaying->setEnabled(p.classification() == Classification::PlayerNonPlayer);

    // Without a valid staff attribute record the ratings read 0 and the
    // confirm writes the person record only.
    if (const std::optional<StaffAttributes> a = staffAttributesOf(mDb, p)) {
        mAttributes.show(*a->image(), a->offset());
        selectQuietly(mUi->SFor, qint64(a->formation()) - 1);
    } else {
        mAttributes.fill(QStringLiteral("0"));
        selectQuietly(mUi->SFor, -1);
    }

    rebuildMiscList();
    loadMiscEntries();
    mFilling = false;

    clearFlags();
    mState.recordKind = RecordKind::Staff;
    Q_EMIT titleChanged(title());
    Q_EMIT createButtonChanged(CreateCaption, true);
    setEditing(true);
}

void StaffScreen::loadMiscEntries()
{
    const MiscIdentity who{{toCp1252(mUi->SFName->text()), toCp1252(mUi->SCName->text()),
                            toCp1252(mUi->SSName->text())},
                           clubLongNameOfPanel()};
    const StaffMiscEntries entries = LoadStaffMiscEntries(mDb.setupLines(), who);
    const bool filling = std::exchange(mFilling, true);
    mUi->MConf->setText(fromCp1252(entries.mConf));
    mUi->SIntRet->setChecked(entries.sIntRet);
    mFilling = filling;
    mMiscChanged = false;
}

void StaffScreen::rebuildMiscList()
{
    const std::optional<int> index = currentPerson();
    fillRelationshipList(mUi->SMiscList,
                         index ? personRelationshipRows(mDb, mLookups.clubNames(), *index)
                               : QList<RelationshipRow>());
}

bool StaffScreen::ConfirmStaffClick()
{
    BusyCursor busy;
    // Every box is converted before anything is written, so a typing error
    // leaves the image, the name tables and the misc lines as they were.
    BoxConverter converter;
    const RecordDate birth = mBirth.convert(converter);
    const int caps = converter.integer(mUi->SCap);
    const int goals = converter.integer(mUi->SGoal);
    const RecordDate nationalJoined = mNationalJoined.convert(converter);
    const RecordDate nationalContractEnd = mNationalContractEnd.convert(converter);
    const RecordDate joined = mJoined.convert(converter);
    const RecordDate contractEnd = mContractEnd.convert(converter);
    const std::vector<BoundValue> mental = mMental.convert(converter);
    const std::vector<BoundValue> attributes = mAttributes.convert(converter);
    if (!converter.ok()) {
        if (mPrompter)
            mPrompter->information(converter.message());
        return false;
    }

    const bool created = mState.newRecordMode;
    const std::optional<int> index =
        created ? createPerson(mDb, NewPersonKind::NewStaff) : currentPerson();
    if (!index)
        return false;
    PersonRecord p = *person(mDb, *index);
    if (created) {
        mState.personOffset = personOffset(*index);
        mState.newRecordMode = false;
        mNationalityChanged = true;
    }

    // His lines are found under the names he had before this confirm, so that
    // a renamed person's old lines do not stay behind under nobody's name. A
    // new person has none yet.
    MiscIdentity stored;
    if (!created) {
        stored = {{FirstNameText(mDb, p.firstName()), CommonNameText(mDb, p.commonName()),
                   SecondNameText(mDb, p.secondName())},
                  clubLongNameOfPanel()};
    }
    const MiscNames typed{toCp1252(mUi->SFName->text()), toCp1252(mUi->SCName->text()),
                          toCp1252(mUi->SSName->text())};

    const std::int32_t nation = mUi->SNation->currentIndex() - 1;
    const NameTarget target = NameTarget::person(*index);
    if (mFirstNameChanged)
        FindOrAddName(mDb, NameTable::First, nation, typed.firstName, target);
    if (mSecondNameChanged)
        FindOrAddName(mDb, NameTable::Second, nation, typed.secondName, target);
    if (mCommonNameChanged)
        FindOrAddName(mDb, NameTable::Common, nation, typed.commonName, target);

    const std::int32_t oldNation = p.nationality();
    if (mMiscChanged) {
        SaveStaffMiscEntries(mDb, *index, stored, typed,
                             {toCp1252(mUi->MConf->text()), mUi->SIntRet->isChecked()});
    }

    p.setDateOfBirth(birth);
    p.setNationality(nation);
    const std::int32_t second = mUi->SSecNation->currentIndex() - 1;
    p.setSecondNationality(second < 0 ? PersonNone::Nation : second);
    p.setCaps(caps);
    p.setGoals(goals);
    if (const std::optional<std::int32_t> team = natTeamValue())
        p.setNationalTeam(*team);
    // A stored code the lists do not hold shows no item and is kept.
    if (mUi->SJob2->currentIndex() >= 0)
        p.setNationalJob(mUi->SJob2->currentIndex());
    p.setNationalJoined(nationalJoined);
    p.setNationalContractEnd(nationalContractEnd);
    if (mUi->SJob1->currentIndex() >= 0)
        p.setJob(mUi->SJob1->currentIndex());
    p.setJoined(joined);
    p.setContractEnd(contractEnd);
    FieldBinding::write(*p.image(), p.offset(), mental);
    if (mUi->SClass->currentIndex() >= 0)
        p.setClassification(mUi->SClass->currentIndex());

    if (std::optional<StaffAttributes> a = staffAttributesOf(mDb, p)) {
        FieldBinding::write(*a->image(), a->offset(), attributes);
        if (mUi->SFor->currentIndex() >= 0)
            a->setFormation(mUi->SFor->currentIndex() + 1);
    }

    if (mNationalityChanged) {
        RecountNationPersons(mDb, oldNation);
        if (nation != oldNation)
            RecountNationPersons(mDb, nation);
    }
    rebuildMiscList();

    clearFlags();
    mDb.setModified(true);
    setEditing(true);
    return true;
}

void StaffScreen::bnCreateNewClick()
{
    if (mPrompter && !mPrompter->question(AreYouSure))
        return;
    CreateNewStaff();
}

void StaffScreen::CreateNewStaff()
{
    fillLists();
    mState.newRecordMode = true;
    mState.recordKind = RecordKind::Staff;
    mFilling = true;
    mUi->SFName->setText(QStringLiteral("<first name>"));
    mUi->SSName->setText(QStringLiteral("<second name>"));
    mUi->SCName->setText(QStringLiteral("<common name>"));
    // Day first: 1 February 1900, and 2 January 1996 for the date joined.
    const QString one = QStringLiteral("1");
    const QString two = QStringLiteral("2");
    const QString unsetYear = QStringLiteral("1900");
    for (const DateBoxes *date : {&mBirth, &mNationalJoined, &mNationalContractEnd, &mContractEnd})
        date->fill(one, two, unsetYear);
    mJoined.fill(two, one, QStringLiteral("1996"));
    mUi->SClub->setText(NoClub);
    for (QComboBox *list : {mUi->SNation, mUi->SSecNation, mUi->SNatTeam, mUi->SJob2})
        setIndexQuietly(list, 0);
    setIndexQuietly(mUi->SJob1, newRecordJob(RoleScreen::Staff));
    setIndexQuietly(mUi->SClass, newRecordClass(RoleScreen::Staff));
    setIndexQuietly(mUi->SFor, NewStaffFormation - 1);
    for (QLineEdit *box : {mUi->SCap, mUi->SGoal, mUi->MConf})
        box->setText(QStringLiteral("0"));
    mMental.fill(QStringLiteral("0"));
    mAttributes.fill(QStringLiteral("0"));
    mUi->SIntRet->setChecked(false);
    mUi->SMiscList->clear();
    mUi->PC3->setCurrentIndex(0);
    mFilling = false;

    clearFlags();
    mFirstNameChanged = mSecondNameChanged = mCommonNameChanged = mMiscChanged = true;
    mUi->bnSToClub->setEnabled(false);
    mUi->bnPlaying->setEnabled(false);
    mUi->SFName->setFocus();
    Q_EMIT titleChanged(title());
    setEditing(false);
}

void StaffScreen::restore(QComboBox *list, int stored)
{
    selectQuietly(list, stored);
}

void StaffScreen::SJob1Change(int item)
{
    if (mFilling || item < 0)
        return;
    const std::optional<int> index = currentPerson();
    const int stored = index ? person(mDb, *index)->job() : newRecordJob(RoleScreen::Staff);
    const RoleDecision decision =
        decideJobChange(mDb, index, RoleScreen::Staff, item, mUi->SClub->text() != NoClub);
    switch (decision.verdict) {
    case RoleVerdict::Accept: return;
    case RoleVerdict::AskDropPlayingRole:
        if (index && mPrompter && mPrompter->question(QString::fromLatin1(decision.message))) {
            bool dropped = false;
            {
                BusyCursor busy;
                dropped = dropPlayingRole(mDb, *index, item);
            }
            if (dropped) {
                Q_EMIT playerResultsStale();
                ShowStaff();
                return;
            }
        }
        break;
    case RoleVerdict::Refuse:
    case RoleVerdict::AskAddNonPlayingRole: // never asked on this screen
        if (mPrompter)
            mPrompter->information(QString::fromLatin1(decision.message));
        break;
    }
    restore(mUi->SJob1, stored);
}

void StaffScreen::SClassChange(int item)
{
    if (mFilling || item < 0)
        return;
    const std::optional<int> index = currentPerson();
    const int stored =
        index ? person(mDb, *index)->classification() : newRecordClass(RoleScreen::Staff);
    const RoleDecision decision = decideClassChange(mDb, index, RoleScreen::Staff, item);
    if (decision.verdict == RoleVerdict::Accept)
        return;
    if (mPrompter)
        mPrompter->information(QString::fromLatin1(decision.message));
    restore(mUi->SClass, stored);
}

// Only fills the boxes; the record changes with the next confirm.
void StaffScreen::bnSMaxClick()
{
    if (!mPrompter || !mPrompter->question(AreYouSure))
        return;
    for (const RatingValue &rating : perfectStaffRatings()) {
        if (!mMental.setValue(rating.field.objectName, rating.value))
            mAttributes.setValue(rating.field.objectName, rating.value);
    }
}

void StaffScreen::bnPlayingClick()
{
    if (currentPerson())
        Q_EMIT playerScreenRequested();
}

void StaffScreen::bnSMiscClick()
{
    const int row = selectedRelationshipRow(mUi->SMiscList);
    if (row >= 0 && currentPerson())
        Q_EMIT miscListDialogRequested(row);
}

void StaffScreen::bnSToClubClick()
{
    const std::optional<int> index = currentPerson();
    const std::int32_t club = index ? person(mDb, *index)->club() : -1;
    if (club >= 0)
        Q_EMIT clubRequested(qint64(club) * RecordSize::Club);
}

void StaffScreen::goToNation(const QComboBox *list)
{
    const int nation = list->currentIndex() - 1;
    if (nation >= 0)
        Q_EMIT nationRequested(qint64(nation) * RecordSize::Nation);
}

} // namespace kx3
