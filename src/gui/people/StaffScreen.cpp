#include "StaffScreen.h"
#include "ui_StaffScreen.h"

#include "app/BusyCursor.h"
#include "app/Prompter.h"
#include "db/Database.h"
#include "db/Lookups.h"
#include "db/MiscEntries.h"
#include "db/NameTables.h"
#include "db/RecordDate.h"
#include "people/CodeLists.h"
#include "people/PersonRecord.h"
#include "people/PersonTables.h"
#include "people/RoleRules.h"
#include "people/StaffAttributes.h"
#include "widgets/Cp1252.h"
#include "widgets/FieldBinding.h"

#include <QEvent>
#include <QSignalBlocker>

#include <array>

namespace kx3 {

namespace {

const QString NoClubText = QStringLiteral("No Club");
const QString NoneText = QStringLiteral("<none>");

/// Descriptions of the relationship rows, in slot order.
constexpr std::array<const char *, 4> RelationshipRowNames = {
    "Fav Club ", "Dislike Club ", "Fav Plyr/Staff ", "Dislike Plyr/Staff "};

template <std::size_t N>
QStringList codeItems(const std::array<const char *, N> &names)
{
    QStringList items;
    for (const char *name : names)
        items.append(QString::fromLatin1(name));
    return items;
}

void setItems(QComboBox *list, const QStringList &items)
{
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(items);
}

QString number(qint64 value)
{
    return QString::number(value);
}

} // namespace

StaffScreen::StaffScreen(Database &db, Lookups &lookups, EditorState &state, Prompter *prompter,
                         QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::StaffScreen>()), mDb(db), mLookups(lookups),
      mState(state), mPrompter(prompter)
{
    mUi->setupUi(this);
    setFixedSize(593, 393);
    mMental.add(this, StaffMentalFields);
    mAttributes.add(this, StaffAbilityFields);
    mAttributes.add(this, StaffRatingFields);
    mDateOfBirth = {mUi->SDOB1, mUi->SDOB2, mUi->SDOB3};
    mNationalJoined = {mUi->NatJ1, mUi->NatJ2, mUi->NatJ3};
    mNationalContractEnd = {mUi->NatE1, mUi->NatE2, mUi->NatE3};
    mJoined = {mUi->SJoin1, mUi->SJoin2, mUi->SJoin3};
    mContractEnd = {mUi->SConEnd1, mUi->SConEnd2, mUi->SConEnd3};
    keepToolTipsUp(this);
    mUi->SMiscList->header()->resizeSection(0, 112);
    mUi->SMiscList->setSelectionMode(QAbstractItemView::SingleSelection);
    mUi->SClub->installEventFilter(this);
    setItems(mUi->SJob1, codeItems(JobNames));
    setItems(mUi->SJob2, codeItems(JobNames));
    setItems(mUi->SClass, codeItems(ClassificationNames));
    setItems(mUi->SFor, codeItems(FormationNames));
    connectControls();
}

StaffScreen::~StaffScreen() = default;

void StaffScreen::connectControls()
{
    connect(mUi->SFName, &QLineEdit::textChanged, this, &StaffScreen::SFNameChange);
    connect(mUi->SSName, &QLineEdit::textChanged, this, &StaffScreen::SSNameChange);
    connect(mUi->SCName, &QLineEdit::textChanged, this, &StaffScreen::SCNameChange);
    connect(mUi->SNation, &QComboBox::currentIndexChanged, this, &StaffScreen::SNationChange);
    connect(mUi->MConf, &QLineEdit::textChanged, this, &StaffScreen::MConfChange);
    connect(mUi->SIntRet, &QCheckBox::toggled, this, &StaffScreen::SIntRetClick);
    connect(mUi->SJob1, &QComboBox::currentIndexChanged, this, &StaffScreen::SJob1Change);
    connect(mUi->SClass, &QComboBox::currentIndexChanged, this, &StaffScreen::SClassChange);
    connect(mUi->ConfirmStaff, &QPushButton::clicked, this, [this] { ConfirmStaffClick(); });
    connect(mUi->bnSMax, &QPushButton::clicked, this, &StaffScreen::bnSMaxClick);
    connect(mUi->STransfer, &QPushButton::clicked, this, &StaffScreen::transferRequested);
    connect(mUi->bnPlaying, &QPushButton::clicked, this, &StaffScreen::bnPlayingClick);
    connect(mUi->bnSMisc, &QPushButton::clicked, this, &StaffScreen::bnSMiscClick);
    connect(mUi->SMiscList, &QTreeWidget::itemDoubleClicked, this,
            &StaffScreen::SMiscListDblClick);
    connect(mUi->bnSToClub, &QToolButton::clicked, this, &StaffScreen::bnSToClubClick);
    connect(mUi->bnSNat, &QToolButton::clicked, this, [this] { goToNation(mUi->SNation); });
    connect(mUi->bnSSecNat, &QToolButton::clicked, this,
            [this] { goToNation(mUi->SSecNation); });
    connect(mUi->bnSNatTeam, &QToolButton::clicked, this, [this] { goToNation(mUi->SNatTeam); });
}

bool StaffScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mUi->SClub && event->type() == QEvent::MouseButtonDblClick
        && mUi->SClub->text() != NoClubText) {
        bnSToClubClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void StaffScreen::fillLists()
{
    QStringList nations;
    for (const QByteArray &name : mLookups.nations())
        nations.append(fromCp1252(name));
    for (QComboBox *list : {mUi->SNation, mUi->SSecNation, mUi->SNatTeam})
        setItems(list, nations);
}

QString StaffScreen::title() const
{
    return mUi->SFName->text() + QLatin1Char(' ') + mUi->SSName->text();
}

StaffScreen::Flags StaffScreen::flags() const
{
    return {mFirstNameChanged, mSecondNameChanged, mCommonNameChanged, mNationalityChanged,
            mMiscChanged};
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

bool StaffScreen::showsClub() const
{
    return mUi->SClub->text() != NoClubText;
}

void StaffScreen::setTitleFromNames()
{
    Q_EMIT titleChanged(title());
}

void StaffScreen::setNamesChanged()
{
    mFirstNameChanged = mSecondNameChanged = mCommonNameChanged = true;
}

void StaffScreen::SFNameChange()
{
    setTitleFromNames();
    if (mFilling)
        return;
    mFirstNameChanged = true;
    mMiscChanged = true;
}

void StaffScreen::SSNameChange()
{
    setTitleFromNames();
    if (mFilling)
        return;
    mSecondNameChanged = true;
    mMiscChanged = true;
}

void StaffScreen::SCNameChange()
{
    if (mFilling)
        return;
    mCommonNameChanged = true;
    mMiscChanged = true;
}

// Names are looked up per nation, so a new nationality resolves all three again.
void StaffScreen::SNationChange()
{
    if (mFilling)
        return;
    setNamesChanged();
    mNationalityChanged = true;
}

void StaffScreen::MConfChange()
{
    if (!mFilling)
        mMiscChanged = true;
}

void StaffScreen::SIntRetClick()
{
    if (!mFilling)
        mMiscChanged = true;
}

void StaffScreen::showNatTeam(std::int32_t value)
{
    // National team C + k belongs to nation k, which is item k + 1.
    const qint64 item = value < 0 ? 0 : qint64(value) + 1 - mDb.clubCount();
    const bool listed = item >= 0 && item < mUi->SNatTeam->count() && (value < 0 || item > 0);
    mUi->SNatTeam->setCurrentIndex(listed ? int(item) : -1);
}

// A stored duty that names no national team shows no item and stays as it is
// until a team or "<none>" is chosen.
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
    PersonRecord p = *person(mDb, *index);
    mFilling = true;

    mUi->SFName->setText(fromCp1252(FirstNameText(mDb, p.firstName())));
    mUi->SSName->setText(fromCp1252(SecondNameText(mDb, p.secondName())));
    mUi->SCName->setText(fromCp1252(CommonNameText(mDb, p.commonName())));
    mDateOfBirth.show(p.dateOfBirth());
    // A nationality the list does not hold (-2 included) shows no item.
    const qint64 nation = qint64(p.nationality()) + 1;
    mUi->SNation->setCurrentIndex(nation >= 0 && nation < mUi->SNation->count() ? int(nation)
                                                                                : -1);
    const qint64 second = qint64(p.secondNationality()) + 1;
    mUi->SSecNation->setCurrentIndex(second <= 0                          ? 0
                                     : second < mUi->SSecNation->count() ? int(second)
                                                                          : -1);
    mUi->SCap->setText(number(p.caps()));
    mUi->SGoal->setText(number(p.goals()));

    showNatTeam(p.nationalTeam());
    mUi->SJob2->setCurrentIndex(p.nationalJob() < mUi->SJob2->count() ? p.nationalJob() : -1);
    mNationalJoined.show(p.nationalJoined());
    mNationalContractEnd.show(p.nationalContractEnd());

    const bool hasClub = p.club() >= 0;
    mUi->SClub->setText(hasClub ? fromCp1252(ClubShortName(mDb, p.club())) : NoClubText);
    mUi->bnSToClub->setEnabled(hasClub);
    mUi->SJob1->setCurrentIndex(p.job() < mUi->SJob1->count() ? p.job() : -1);
    mJoined.show(p.joined());
    mContractEnd.show(p.contractEnd());

    mMental.show(*p.image(), p.offset());
    mUi->SClass->setCurrentIndex(p.classification() < mUi->SClass->count() ? p.classification()
                                                                           : -1);
    mUi->bnPlaying->setEnabled(p.classification() == Classification::PlayerNonPlayer);

    // A person without a valid staff attribute record shows zero ratings,
    // and the confirm then writes only his person record.
    const std::optional<StaffAttributes> a = staffAttributesOf(mDb, p);
    if (a)
        mAttributes.show(*a->image(), a->offset());
    else
        mAttributes.fill(QStringLiteral("0"));
    const int formation = a ? a->formation() - 1 : -1;
    mUi->SFor->setCurrentIndex(formation >= 0 && formation < mUi->SFor->count() ? formation : -1);

    rebuildMiscList();
    loadMiscEntries();

    mFilling = false;
    mFirstNameChanged = mSecondNameChanged = mCommonNameChanged = false;
    mNationalityChanged = mMiscChanged = false;
    mUi->STransfer->setEnabled(true);
    mState.recordKind = RecordKind::Staff;
    setTitleFromNames();
    Q_EMIT recordShown();
}

void StaffScreen::loadMiscEntries()
{
    MiscIdentity who;
    who.names = {toCp1252(mUi->SFName->text()), toCp1252(mUi->SCName->text()),
                 toCp1252(mUi->SSName->text())};
    if (showsClub()) {
        who.clubLongName = clubLongNameByShortName(mDb, mLookups.clubNames().names(),
                                                   toCp1252(mUi->SClub->text()))
                               .value_or(QByteArray());
    }
    const StaffMiscEntries entries = LoadStaffMiscEntries(mDb.setupLines(), who);
    const bool filling = mFilling;
    mFilling = true;
    mUi->MConf->setText(fromCp1252(entries.mConf));
    mUi->SIntRet->setChecked(entries.sIntRet);
    mFilling = filling;
    mMiscChanged = false;
}

void StaffScreen::rebuildMiscList()
{
    const int selected = mUi->SMiscList->currentIndex().row();
    mUi->SMiscList->clear();
    const std::optional<int> index = currentPerson();
    if (!index)
        return;
    const PersonRecord p = *person(mDb, *index);
    QList<QTreeWidgetItem *> rows;
    for (int slot = 0; slot < PersonRelationship::Count; ++slot) {
        const QString desc = QString::fromLatin1(RelationshipRowNames[std::size_t(slot / 3)])
                             + QString::number(slot % 3 + 1);
        const std::int32_t value = p.relationship(slot);
        QString name = NoneText;
        if (value >= 0 && PersonRelationship::isClubSlot(slot)) {
            name = fromCp1252(mLookups.clubNames().get(value));
        } else if (value >= 0) {
            if (const std::optional<PersonRecord> other = person(mDb, value)) {
                name = fromCp1252(FirstNameText(mDb, other->firstName())) + QLatin1Char(' ')
                       + fromCp1252(SecondNameText(mDb, other->secondName()));
            } else {
                name.clear();
            }
        }
        rows.append(new QTreeWidgetItem(QStringList{desc, name}));
    }
    mUi->SMiscList->addTopLevelItems(rows);
    // The misc-list dialog changes the row that is still selected.
    if (selected >= 0 && selected < rows.size())
        mUi->SMiscList->setCurrentItem(rows.at(selected));
}

bool StaffScreen::ConfirmStaffClick()
{
    BusyCursor busy;
    // Every box is converted before anything is written, so a typing error
    // leaves the image, the name tables and the misc entries as they were.
    BoxConverter converter;
    const RecordDate dateOfBirth = mDateOfBirth.convert(converter);
    const int caps = converter.integer(mUi->SCap);
    const int goals = converter.integer(mUi->SGoal);
    const RecordDate nationalJoined = mNationalJoined.convert(converter);
    const RecordDate nationalContractEnd = mNationalContractEnd.convert(converter);
    const RecordDate joined = mJoined.convert(converter);
    const RecordDate contractEnd = mContractEnd.convert(converter);
    const std::vector<BoundValue> mental = mMental.convert(converter);
    const std::vector<BoundValue> attributes = mAttributes.convert(converter);
    if (!converter.ok()) {
        mPrompter->information(converter.message());
        return false;
    }

    std::optional<int> index;
    const bool created = mState.newRecordMode;
    if (created) {
        index = createPerson(mDb, NewPersonKind::NewStaff);
        if (!index) {
            mPrompter->information(QStringLiteral("The new staff member could not be added."));
            return false;
        }
        mState.personOffset = personOffset(*index);
        mState.newRecordMode = false;
        mNationalityChanged = true;
    } else {
        index = currentPerson();
        if (!index)
            return false;
    }
    PersonRecord p = *person(mDb, *index);

    // His lines are found under the names he has before this confirm; a
    // renamed person's old lines would otherwise stay behind under no one.
    MiscIdentity stored;
    if (!created) {
        stored.names = {FirstNameText(mDb, p.firstName()), CommonNameText(mDb, p.commonName()),
                        SecondNameText(mDb, p.secondName())};
        if (showsClub()) {
            stored.clubLongName = clubLongNameByShortName(mDb, mLookups.clubNames().names(),
                                                          toCp1252(mUi->SClub->text()))
                                      .value_or(QByteArray());
        }
    }
    const MiscNames typed{toCp1252(mUi->SFName->text()), toCp1252(mUi->SCName->text()),
                          toCp1252(mUi->SSName->text())};

    const std::int32_t nationKey = mUi->SNation->currentIndex() - 1;
    const NameTarget target = NameTarget::person(*index);
    if (mFirstNameChanged)
        FindOrAddName(mDb, NameTable::First, nationKey, typed.firstName, target);
    if (mSecondNameChanged)
        FindOrAddName(mDb, NameTable::Second, nationKey, typed.secondName, target);
    if (mCommonNameChanged)
        FindOrAddName(mDb, NameTable::Common, nationKey, typed.commonName, target);

    const std::int32_t oldNation = p.nationality();
    if (mMiscChanged) {
        const StaffMiscEntries entries{toCp1252(mUi->MConf->text()), mUi->SIntRet->isChecked()};
        SaveStaffMiscEntries(mDb, *index, stored, typed, entries);
    }

    p.setDateOfBirth(dateOfBirth);
    p.setNationality(nationKey);
    const std::int32_t second = mUi->SSecNation->currentIndex() - 1;
    p.setSecondNationality(second < 0 ? PersonNone::Nation : second);
    p.setCaps(caps);
    p.setGoals(goals);
    if (const std::optional<std::int32_t> team = natTeamValue())
        p.setNationalTeam(*team);
    // A stored code the list does not hold shows no item and is kept.
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
        if (nationKey != oldNation)
            RecountNationPersons(mDb, nationKey);
    }
    rebuildMiscList();

    mFirstNameChanged = mSecondNameChanged = mCommonNameChanged = false;
    mNationalityChanged = mMiscChanged = false;
    mDb.setModified(true);
    mUi->STransfer->setEnabled(true);
    if (created) {
        mUi->bnSToClub->setEnabled(false);
        mUi->bnPlaying->setEnabled(p.classification() == Classification::PlayerNonPlayer);
    }
    Q_EMIT recordConfirmed();
    return true;
}

void StaffScreen::startNewRecord()
{
    mFilling = true;
    mUi->SFName->setText(QStringLiteral("<first name>"));
    mUi->SSName->setText(QStringLiteral("<second name>"));
    mUi->SCName->setText(QStringLiteral("<common name>"));
    // Day first: 1 February 1900, and 2 January 1996 for the date joined.
    const QString one = QStringLiteral("1");
    const QString two = QStringLiteral("2");
    const QString unsetYear = QStringLiteral("1900");
    for (const DateBoxes *date : {&mDateOfBirth, &mNationalJoined, &mNationalContractEnd,
                                  &mContractEnd})
        date->fill(one, two, unsetYear);
    mJoined.fill(two, one, QStringLiteral("1996"));
    mUi->SClub->setText(NoClubText);
    for (QComboBox *list : {mUi->SNation, mUi->SSecNation, mUi->SNatTeam, mUi->SJob2})
        list->setCurrentIndex(0);
    mUi->SJob1->setCurrentIndex(newRecordJob(RoleScreen::Staff));
    mUi->SClass->setCurrentIndex(newRecordClass(RoleScreen::Staff));
    mUi->SFor->setCurrentIndex(NewStaffFormation - 1);
    mUi->SCap->setText(QStringLiteral("0"));
    mUi->SGoal->setText(QStringLiteral("0"));
    mMental.fill(QStringLiteral("0"));
    mAttributes.fill(QStringLiteral("0"));
    mUi->MConf->setText(QStringLiteral("0"));
    mUi->SIntRet->setChecked(false);
    mUi->SMiscList->clear();
    mUi->PC3->setCurrentIndex(0);
    mFilling = false;

    mState.newRecordMode = true;
    mState.recordKind = RecordKind::Staff;
    setNamesChanged();
    mNationalityChanged = false;
    mMiscChanged = true;
    mUi->bnSToClub->setEnabled(false);
    mUi->STransfer->setEnabled(false);
    mUi->bnPlaying->setEnabled(false);
    mUi->SFName->setFocus();
    setTitleFromNames();
    Q_EMIT newRecordStarted();
}

void StaffScreen::restore(QComboBox *list, int stored)
{
    const QSignalBlocker block(list);
    list->setCurrentIndex(stored >= 0 && stored < list->count() ? stored : -1);
}

void StaffScreen::SJob1Change(int item)
{
    if (mFilling || item < 0)
        return;
    const std::optional<int> index = currentPerson();
    const int stored = index ? person(mDb, *index)->job() : newRecordJob(RoleScreen::Staff);
    const RoleDecision decision =
        decideJobChange(mDb, index, RoleScreen::Staff, item, showsClub());
    switch (decision.verdict) {
    case RoleVerdict::Accept:
        return;
    case RoleVerdict::Refuse:
        mPrompter->information(QString::fromLatin1(decision.message));
        restore(mUi->SJob1, stored);
        return;
    case RoleVerdict::AskDropPlayingRole:
    case RoleVerdict::AskAddNonPlayingRole:
        break;
    }
    if (decision.verdict == RoleVerdict::AskDropPlayingRole
        && mPrompter->question(QString::fromLatin1(decision.message))) {
        bool dropped = false;
        {
            BusyCursor busy;
            dropped = dropPlayingRole(mDb, *index, item);
        }
        if (dropped) {
            Q_EMIT playingRoleDropped();
            ShowStaff();
            return;
        }
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
    mPrompter->information(QString::fromLatin1(decision.message));
    restore(mUi->SClass, stored);
}

// Only fills the boxes; the record changes with the next confirm.
void StaffScreen::bnSMaxClick()
{
    if (!mPrompter->question(QString::fromLatin1(RoleMessage::AreYouSure)))
        return;
    for (const RatingValue &rating : perfectStaffRatings()) {
        if (!mMental.setValue(rating.field.objectName, rating.value))
            mAttributes.setValue(rating.field.objectName, rating.value);
    }
}

void StaffScreen::bnPlayingClick()
{
    if (currentPerson())
        Q_EMIT playingRoleRequested();
}

void StaffScreen::bnSMiscClick()
{
    QTreeWidgetItem *item = mUi->SMiscList->currentItem();
    if (!item || !item->isSelected() || !currentPerson())
        return;
    Q_EMIT miscListDialogRequested(mUi->SMiscList->indexOfTopLevelItem(item));
}

void StaffScreen::SMiscListDblClick()
{
    bnSMiscClick();
}

void StaffScreen::bnSToClubClick()
{
    const std::optional<int> index = currentPerson();
    if (!index)
        return;
    const std::int32_t club = person(mDb, *index)->club();
    if (club >= 0)
        Q_EMIT clubRequested(club);
}

void StaffScreen::goToNation(const QComboBox *list)
{
    const int nation = list->currentIndex() - 1;
    if (nation >= 0)
        Q_EMIT nationRequested(nation);
}

} // namespace kx3
