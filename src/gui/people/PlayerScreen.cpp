#include "PlayerScreen.h"
#include "ui_PlayerScreen.h"

#include "HistoryEditor.h"
#include "PersonRelationshipList.h"
#include "core/clubs/CareerHistory.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/db/Lookups.h"
#include "core/db/NameTables.h"
#include "core/nations/NationRecord.h"
#include "core/people/CodeLists.h"
#include "core/people/PersonTables.h"
#include "core/people/PlayerAttributes.h"
#include "core/people/RoleRules.h"
#include "gui/app/BusyCursor.h"
#include "gui/app/Prompter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyle>

#include <array>

namespace kx3 {

namespace {

const QString NoClub = QStringLiteral("No Club");
const QString CreateCaption = QStringLiteral("Create New Player");
const QString DeleteCaption = QStringLiteral("Delete Player");
const QString AreYouSure = QStringLiteral("Are you sure?");
const QString NoNewPlayer =
    QStringLiteral("The new player could not be added: the player tables are not consistent.");

// The squad number sits in front of the abilities in the attribute record.
constexpr std::array<BoundField, 1> SquadNumberField = {{{"PNum", 4, FieldType::U8}}};

/// Double-clicks on the club panel act like its go-to button.
class DoubleClickFilter : public QObject
{
public:
    DoubleClickFilter(std::function<void()> action, QObject *parent)
        : QObject(parent), mAction(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            mAction();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> mAction;
};

void fillItems(QComboBox *box, const QStringList &items)
{
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
}

QString text(const QByteArray &bytes)
{
    return fromCp1252(bytes);
}

QByteArray bytes(const QLineEdit *box)
{
    return toCp1252(box->text());
}

} // namespace

PlayerScreen::PlayerScreen(Database &db, Lookups &lookups, EditorState &state, Prompter *prompter,
                           QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::PlayerScreen>()), mDb(db), mLookups(lookups),
      mState(state), mPrompter(prompter)
{
    mUi->setupUi(this);
    setFixedSize(593, 393);

    mMental.add(this, PlayerMentalFields);
    mAttributes.add(this, SquadNumberField);
    mAttributes.add(this, PlayerAbilityFields);
    mAttributes.add(this, PositionRatingFields);
    mAttributes.add(this, PlayingRatingFields);
    mBirth = {mUi->DOB1, mUi->DOB2, mUi->DOB3};
    mJoined = {mUi->Join1, mUi->Join2, mUi->Join3};
    mContractEnd = {mUi->ConEnd1, mUi->ConEnd2, mUi->ConEnd3};

    mHistory = new HistoryEditor(
        {mUi->HistList, mUi->HSea, mUi->HClu, mUi->HApp, mUi->HGoa, mUi->HAdd, mUi->HDel}, this);
    mHistory->setPrompter(prompter);
    setUpRelationshipList(mUi->PMiscList);

    QStringList injuries{QString::fromLatin1(MiscNoneText)};
    for (const char *name : InjuryNames)
        injuries.append(QString::fromLatin1(name));
    fillItems(mUi->PreInj, injuries);
    mUi->PreInj->setMaxVisibleItems(20);

    const QIcon goTo = style()->standardIcon(QStyle::SP_ArrowRight);
    for (QToolButton *b : {mUi->bnPNat, mUi->bnPSecNat, mUi->bnPToClub})
        b->setIcon(goTo);
    mUi->PClub->installEventFilter(new DoubleClickFilter([this] { bnPToClubClick(); }, this));

    keepToolTipsUp(this);
    connectHandlers();
}

PlayerScreen::~PlayerScreen() = default;

void PlayerScreen::setPrompter(Prompter *prompter)
{
    mPrompter = prompter;
    mHistory->setPrompter(prompter);
}

void PlayerScreen::connectHandlers()
{
    connect(mUi->FName, &QLineEdit::textChanged, this, &PlayerScreen::FNameChange);
    connect(mUi->SName, &QLineEdit::textChanged, this, &PlayerScreen::SNameChange);
    connect(mUi->CName, &QLineEdit::textChanged, this, &PlayerScreen::CNameChange);
    connect(mUi->PNation, &QComboBox::currentIndexChanged, this, &PlayerScreen::PNationChange);
    connect(mUi->PJob, &QComboBox::currentIndexChanged, this, &PlayerScreen::PJobChange);
    connect(mUi->PClass, &QComboBox::currentIndexChanged, this, &PlayerScreen::PClassChange);
    for (QLineEdit *box : {mUi->TClub, mUi->TDate1, mUi->TDate2, mUi->TDate3, mUi->TFee,
                           mUi->TWage, mUi->TCLen, mUi->LClub, mUi->LSt1, mUi->LSt2, mUi->LSt3,
                           mUi->LEn1, mUi->LEn2, mUi->LEn3, mUi->PIAdjust})
        connect(box, &QLineEdit::textChanged, this, &PlayerScreen::MiscFieldChange);
    connect(mUi->PreInj, &QComboBox::currentIndexChanged, this, &PlayerScreen::MiscFieldChange);
    connect(mUi->IntRet, &QCheckBox::toggled, this, &PlayerScreen::MiscFieldChange);

    connect(mUi->ConfirmPlayer, &QPushButton::clicked, this, &PlayerScreen::ConfirmPlayerClick);
    connect(mUi->bnPMax, &QPushButton::clicked, this, &PlayerScreen::bnPMaxClick);
    connect(mUi->PTransfer, &QPushButton::clicked, this, &PlayerScreen::transferRequested);
    connect(mUi->bnNonPlaying, &QPushButton::clicked, this, &PlayerScreen::bnNonPlayingClick);
    connect(mUi->bgPMisc, &QPushButton::clicked, this, &PlayerScreen::bgPMiscClick);
    connect(mUi->PMiscList, &QTreeWidget::itemDoubleClicked, this, &PlayerScreen::bgPMiscClick);
    connect(mUi->bnPToClub, &QToolButton::clicked, this, &PlayerScreen::bnPToClubClick);
    connect(mUi->bnPNat, &QToolButton::clicked, this, &PlayerScreen::bnPNatClick);
    connect(mUi->bnPSecNat, &QToolButton::clicked, this, &PlayerScreen::bnPSecNatClick);
    connect(mUi->bnTClub, &QToolButton::clicked, this,
            [this] { Q_EMIT clubPickingRequested(ClubPickField::TClub); });
    connect(mUi->bnLClub, &QToolButton::clicked, this,
            [this] { Q_EMIT clubPickingRequested(ClubPickField::LClub); });
    connect(mUi->bnHClu, &QToolButton::clicked, this,
            [this] { Q_EMIT clubPickingRequested(ClubPickField::HClu); });
}

// The nation list comes from the loaded database, which does not exist yet
// when the screen is built; nations are never added, so one fill per load does.
void PlayerScreen::fillLists()
{
    const QList<QByteArray> &nations = mLookups.nations();
    QStringList items;
    items.reserve(nations.size());
    for (const QByteArray &n : nations)
        items.append(text(n));
    if (mUi->PNation->count() == items.size()) {
        bool same = true;
        for (int i = 0; same && i < items.size(); ++i)
            same = mUi->PNation->itemText(i) == items.at(i);
        if (same)
            return;
    }
    fillItems(mUi->PNation, items);
    fillItems(mUi->PSecNation, items);
}

std::optional<int> PlayerScreen::shownPerson() const
{
    if (mState.newRecordMode || mState.personOffset < 0
        || mState.personOffset % RecordSize::Person != 0)
        return std::nullopt;
    const qint64 index = mState.personOffset / RecordSize::Person;
    if (index >= personCount(mDb)
        || !mDb.image(DataFile::Staff).contains(mState.personOffset, RecordSize::Person))
        return std::nullopt;
    return int(index);
}

std::optional<int> PlayerScreen::currentPerson() const
{
    return shownPerson();
}

PlayerScreen::ChangedFlags PlayerScreen::changedFlags() const
{
    ChangedFlags flags = mFlags;
    flags.history = mHistory->isChanged();
    return flags;
}

void PlayerScreen::setTitle(const QString &title)
{
    mTitle = title;
    Q_EMIT titleChanged(mTitle);
}

void PlayerScreen::clearFlags()
{
    mFlags = {};
    mHistory->setChanged(false);
}

void PlayerScreen::setEditing(bool existingRecord)
{
    mUi->PTransfer->setEnabled(existingRecord);
    Q_EMIT deleteButtonChanged(DeleteCaption, existingRecord);
}

QByteArray PlayerScreen::clubLongNameOfPanel() const
{
    // Misc lines carry the club's long name; the panel shows the short one.
    const int club = mLookups.clubNames().indexOfIgnoringCase(toCp1252(mUi->PClub->text()));
    return club >= 0 ? ClubLongName(mDb, club) : QByteArray();
}

MiscIdentity PlayerScreen::screenIdentity() const
{
    return {{bytes(mUi->FName), bytes(mUi->CName), bytes(mUi->SName)}, clubLongNameOfPanel()};
}

void PlayerScreen::showMiscEntries(const PlayerMiscEntries &e)
{
    mUi->TClub->setText(text(e.tClub));
    mUi->TDate1->setText(text(e.tDate1));
    mUi->TDate2->setText(text(e.tDate2));
    mUi->TDate3->setText(text(e.tDate3));
    mUi->TFee->setText(text(e.tFee));
    mUi->TWage->setText(text(e.tWage));
    mUi->TCLen->setText(text(e.tCLen));
    mUi->LClub->setText(text(e.lClub));
    mUi->LSt1->setText(text(e.lSt1));
    mUi->LSt2->setText(text(e.lSt2));
    mUi->LSt3->setText(text(e.lSt3));
    mUi->LEn1->setText(text(e.lEn1));
    mUi->LEn2->setText(text(e.lEn2));
    mUi->LEn3->setText(text(e.lEn3));
    setIndexQuietly(mUi->PreInj, e.preInj);
    mUi->PIAdjust->setText(text(e.piAdjust));
    mUi->IntRet->setChecked(e.intRet);
}

PlayerMiscEntries PlayerScreen::miscEntriesOfScreen() const
{
    PlayerMiscEntries e;
    e.tClub = bytes(mUi->TClub);
    e.tDate1 = bytes(mUi->TDate1);
    e.tDate2 = bytes(mUi->TDate2);
    e.tDate3 = bytes(mUi->TDate3);
    e.tFee = bytes(mUi->TFee);
    e.tWage = bytes(mUi->TWage);
    e.tCLen = bytes(mUi->TCLen);
    e.lClub = bytes(mUi->LClub);
    e.lSt1 = bytes(mUi->LSt1);
    e.lSt2 = bytes(mUi->LSt2);
    e.lSt3 = bytes(mUi->LSt3);
    e.lEn1 = bytes(mUi->LEn1);
    e.lEn2 = bytes(mUi->LEn2);
    e.lEn3 = bytes(mUi->LEn3);
    e.preInj = mUi->PreInj->currentIndex();
    e.piAdjust = bytes(mUi->PIAdjust);
    e.intRet = mUi->IntRet->isChecked();
    return e;
}

void PlayerScreen::ShowPlayer()
{
    BusyCursor busy;
    mState.newRecordMode = false;
    fillLists();
    const std::optional<int> index = shownPerson();
    if (!index)
        return;
    PersonRecord p = *person(mDb, *index);

    mUi->FName->setText(text(FirstNameText(mDb, p.firstName())));
    mUi->SName->setText(text(SecondNameText(mDb, p.secondName())));
    mUi->CName->setText(text(CommonNameText(mDb, p.commonName())));
    setTitle(mUi->FName->text() + QLatin1Char(' ') + mUi->SName->text());
    mBirth.show(p.dateOfBirth());
    // An index the list does not have shows no selection.
    const auto item = [](QComboBox *box, qint64 value) {
        return value >= 0 && value < box->count() ? int(value) : -1;
    };
    setIndexQuietly(mUi->PNation, item(mUi->PNation, qint64(p.nationality()) + 1));
    const std::int32_t second = p.secondNationality();
    setIndexQuietly(mUi->PSecNation, second < 0 ? 0 : item(mUi->PSecNation, qint64(second) + 1));
    mUi->Cap->setText(QString::number(p.caps()));
    mUi->Goal->setText(QString::number(p.goals()));

    const bool hasClub = p.club() >= 0;
    mUi->PClub->setText(hasClub ? text(ClubShortName(mDb, p.club())) : NoClub);
    mUi->bnPToClub->setEnabled(hasClub);

    setIndexQuietly(mUi->PJob, item(mUi->PJob, p.job()));
    mJoined.show(p.joined());
    mContractEnd.show(p.contractEnd());
    mUi->PWage->setText(QString::number(p.wage()));
    mUi->PValue->setText(QString::number(p.value()));
    mMental.show(*p.image(), p.offset());
    setIndexQuietly(mUi->PlayIn, item(mUi->PlayIn, p.playsIn()));
    setIndexQuietly(mUi->PClass, item(mUi->PClass, p.classification()));
    mUi->bnNonPlaying->setEnabled(p.classification() == Classification::PlayerNonPlayer);

    if (std::optional<PlayerAttributes> a = playerAttributesOf(mDb, p))
        mAttributes.show(*a->image(), a->offset());
    else
        mAttributes.fill(QStringLiteral("0"));

    mHistory->load(loadHistory(mDb, *index, mLookups.clubNames().names()));
    showMiscEntries(LoadPlayerMiscEntries(mDb.setupLines(), screenIdentity()));
    rebuildMiscList();

    clearFlags();
    mState.recordKind = RecordKind::Player;
    Q_EMIT createButtonChanged(CreateCaption, true);
    setEditing(true);
}

bool PlayerScreen::ConfirmPlayerClick()
{
    BusyCursor busy;
    const bool creating = mState.newRecordMode;
    std::optional<int> index = shownPerson();
    if (!creating && !index)
        return false;
    std::optional<PlayerAttributes> attributes;
    if (index)
        attributes = playerAttributesOf(mDb, *person(mDb, *index));
    const bool writeAttributes = creating || attributes.has_value();

    // Every box is converted before anything is written, in the order the
    // fields are stored, so the message names the first bad one and a typing
    // error never leaves a half-written record behind.
    BoxConverter convert;
    const RecordDate birth = mBirth.convert(convert);
    const int caps = convert.integer(mUi->Cap);
    const int goals = convert.integer(mUi->Goal);
    const RecordDate joined = mJoined.convert(convert);
    const RecordDate contractEnd = mContractEnd.convert(convert);
    const std::int32_t wage = convert.integer(mUi->PWage);
    const std::int32_t value = convert.integer(mUi->PValue);
    const std::vector<BoundValue> mental = mMental.convert(convert);
    const std::vector<BoundValue> ratings =
        writeAttributes ? mAttributes.convert(convert) : std::vector<BoundValue>();
    const bool historyChanged = mHistory->isChanged();
    const QList<HistoryRow> history = historyChanged ? mHistory->rows() : QList<HistoryRow>();
    for (const HistoryRow &row : history) {
        convert.integer(text(row.season.left(4)));
        convert.integer(text(row.apps));
        convert.integer(text(row.goals));
    }
    if (!convert.ok()) {
        if (mPrompter)
            mPrompter->information(convert.message());
        return false;
    }

    // The lines to replace are those written under the names and club the
    // record had until now, not under the names this confirm is storing.
    MiscIdentity stored;
    if (creating) {
        index = createPerson(mDb, NewPersonKind::NewPlayer);
        if (!index) {
            if (mPrompter)
                mPrompter->information(NoNewPlayer);
            return false;
        }
        mState.personOffset = personOffset(*index);
        mState.newRecordMode = false;
        mFlags.nationality = true;
        attributes = playerAttributesOf(mDb, *person(mDb, *index));
    } else {
        const PersonRecord p = *person(mDb, *index);
        stored = {{FirstNameText(mDb, p.firstName()), CommonNameText(mDb, p.commonName()),
                   SecondNameText(mDb, p.secondName())},
                  clubLongNameOfPanel()};
    }
    PersonRecord p = *person(mDb, *index);

    const std::int32_t nation = mUi->PNation->currentIndex() - 1;
    const NameTarget target = NameTarget::person(*index);
    if (mFlags.firstName)
        FindOrAddName(mDb, NameTable::First, nation, bytes(mUi->FName), target);
    if (mFlags.secondName)
        FindOrAddName(mDb, NameTable::Second, nation, bytes(mUi->SName), target);
    if (mFlags.commonName)
        FindOrAddName(mDb, NameTable::Common, nation, bytes(mUi->CName), target);
    const std::int32_t oldNation = p.nationality();
    if (mFlags.misc) {
        SavePlayerMiscEntries(mDb, *index, stored,
                              {bytes(mUi->FName), bytes(mUi->CName), bytes(mUi->SName)},
                              miscEntriesOfScreen(), mLookups.clubNames().names());
    }

    p.setDateOfBirth(birth);
    p.setNationality(nation);
    const std::int32_t second = mUi->PSecNation->currentIndex() - 1;
    p.setSecondNationality(second < 0 ? PersonNone::Nation : second);
    p.setCaps(caps);
    p.setGoals(goals);
    // A code the list has no item for stays as stored.
    if (mUi->PJob->currentIndex() >= 0)
        p.setJob(mUi->PJob->currentIndex());
    p.setJoined(joined);
    p.setContractEnd(contractEnd);
    p.setWage(wage);
    p.setValue(value);
    FieldBinding::write(*p.image(), p.offset(), mental);
    if (mUi->PlayIn->currentIndex() >= 0)
        p.setPlaysIn(mUi->PlayIn->currentIndex());
    if (mUi->PClass->currentIndex() >= 0)
        p.setClassification(mUi->PClass->currentIndex());
    if (attributes)
        FieldBinding::write(*attributes->image(), attributes->offset(), ratings);

    if (mFlags.nationality) {
        RecountNationPersons(mDb, oldNation);
        if (nation != oldNation)
            RecountNationPersons(mDb, nation);
    }
    if (historyChanged) {
        QByteArray bad;
        // Cannot fail: every number was checked above.
        if (!saveHistory(mDb, *index, history, mLookups.clubNames().names(), &bad) && mPrompter)
            mPrompter->information(notAnIntegerMessage(text(bad)));
    }
    rebuildMiscList();

    clearFlags();
    mDb.setModified(true);
    setEditing(true);
    return true;
}

void PlayerScreen::bnCreateNewClick()
{
    if (mPrompter && !mPrompter->question(AreYouSure))
        return;
    CreateNewPlayer();
}

void PlayerScreen::CreateNewPlayer()
{
    fillLists();
    mState.newRecordMode = true;
    mUi->FName->setText(QStringLiteral("<first name>"));
    mUi->SName->setText(QStringLiteral("<second name>"));
    setTitle(mUi->FName->text() + QLatin1Char(' ') + mUi->SName->text());
    mUi->CName->setText(QStringLiteral("<common name>"));
    mBirth.fill(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1900"));
    mJoined.fill(QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("1996"));
    mContractEnd.fill(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1900"));
    mUi->PClub->setText(NoClub);
    setIndexQuietly(mUi->PNation, 0);
    setIndexQuietly(mUi->PSecNation, 0);
    setIndexQuietly(mUi->PJob, newRecordJob(RoleScreen::Player));
    setIndexQuietly(mUi->PlayIn, 1);
    setIndexQuietly(mUi->PClass, newRecordClass(RoleScreen::Player));
    for (QLineEdit *box : {mUi->Cap, mUi->Goal, mUi->PWage, mUi->PValue})
        box->setText(QStringLiteral("0"));
    mMental.fill(QStringLiteral("0"));
    mAttributes.fill(QStringLiteral("0"));
    mHistory->load({});
    showMiscEntries(PlayerMiscEntries());
    mUi->PMiscList->clear();
    mUi->PC2->setCurrentIndex(0);

    clearFlags();
    mFlags.firstName = mFlags.secondName = mFlags.commonName = true;
    mFlags.misc = true;
    mUi->bnPToClub->setEnabled(false);
    mUi->bnNonPlaying->setEnabled(false);
    setEditing(false);
    mUi->FName->setFocus();
}

void PlayerScreen::setMiscChanged()
{
    mFlags.misc = true;
}

void PlayerScreen::setPickedClub(ClubPickField field, const QString &club)
{
    switch (field) {
    case ClubPickField::TClub: mUi->TClub->setText(club); break;
    case ClubPickField::LClub: mUi->LClub->setText(club); break;
    case ClubPickField::HClu: mUi->HClu->setText(club); break;
    }
}

void PlayerScreen::rebuildMiscList()
{
    const std::optional<int> index = shownPerson();
    fillRelationshipList(mUi->PMiscList,
                         index ? personRelationshipRows(mDb, mLookups.clubNames(), *index)
                               : QList<RelationshipRow>());
}

void PlayerScreen::FNameChange()
{
    mFlags.firstName = true;
    mFlags.misc = true;
    setTitle(mUi->FName->text() + QLatin1Char(' ') + mUi->SName->text());
}

void PlayerScreen::SNameChange()
{
    mFlags.secondName = true;
    mFlags.misc = true;
    setTitle(mUi->FName->text() + QLatin1Char(' ') + mUi->SName->text());
}

void PlayerScreen::CNameChange()
{
    mFlags.commonName = true;
    mFlags.misc = true;
}

// Names are looked up under the nationality, so a new one resolves all three again.
void PlayerScreen::PNationChange()
{
    mFlags.firstName = mFlags.secondName = mFlags.commonName = true;
    mFlags.nationality = true;
}

void PlayerScreen::MiscFieldChange()
{
    mFlags.misc = true;
}

void PlayerScreen::PJobChange(int item)
{
    const std::optional<int> index = shownPerson();
    if (!mState.newRecordMode && !index)
        return;
    const int stored = index ? person(mDb, *index)->job() : newRecordJob(RoleScreen::Player);
    const bool hasClub = mUi->PClub->text() != NoClub;
    const RoleDecision decision = decideJobChange(mDb, index, RoleScreen::Player, item, hasClub);
    const QString message = QString::fromLatin1(decision.message);
    switch (decision.verdict) {
    case RoleVerdict::Accept: return;
    case RoleVerdict::Refuse:
        if (mPrompter)
            mPrompter->information(message);
        break;
    case RoleVerdict::AskAddNonPlayingRole:
        if (mPrompter && mPrompter->question(message)) {
            bool added = false;
            {
                BusyCursor busy;
                added = addNonPlayingRole(mDb, *index, item);
            }
            if (added) {
                ShowPlayer();
                return;
            }
        }
        break;
    case RoleVerdict::AskDropPlayingRole:
        if (mPrompter && mPrompter->question(message)) {
            bool dropped = false;
            {
                BusyCursor busy;
                dropped = dropPlayingRole(mDb, *index, item);
            }
            if (dropped) {
                Q_EMIT playerResultsStale();
                Q_EMIT staffScreenRequested();
                return;
            }
        }
        break;
    }
    setIndexQuietly(mUi->PJob, stored);
}

void PlayerScreen::PClassChange(int item)
{
    const std::optional<int> index = shownPerson();
    if (!mState.newRecordMode && !index)
        return;
    const RoleDecision decision = decideClassChange(mDb, index, RoleScreen::Player, item);
    if (decision.verdict == RoleVerdict::Accept)
        return;
    if (mPrompter)
        mPrompter->information(QString::fromLatin1(decision.message));
    setIndexQuietly(mUi->PClass, index ? person(mDb, *index)->classification()
                                       : newRecordClass(RoleScreen::Player));
}

void PlayerScreen::bnPMaxClick()
{
    if (!mPrompter || !mPrompter->question(AreYouSure))
        return;
    // Only the boxes change; the record follows at the next confirm.
    for (const RatingValue &r : perfectPlayerRatings()) {
        if (!mMental.setValue(r.field.objectName, r.value))
            mAttributes.setValue(r.field.objectName, r.value);
    }
}

void PlayerScreen::bnNonPlayingClick()
{
    if (shownPerson())
        Q_EMIT staffScreenRequested();
}

void PlayerScreen::bgPMiscClick()
{
    const int row = selectedRelationshipRow(mUi->PMiscList);
    if (row >= 0 && shownPerson())
        Q_EMIT miscListDialogRequested(row);
}

void PlayerScreen::bnPToClubClick()
{
    const std::optional<int> index = shownPerson();
    if (!index)
        return;
    const std::int32_t club = person(mDb, *index)->club();
    if (club >= 0 && mDb.clubs().contains(qint64(club) * RecordSize::Club, RecordSize::Club))
        Q_EMIT clubRequested(qint64(club) * RecordSize::Club);
}

void PlayerScreen::bnPNatClick()
{
    const int nationIndex = mUi->PNation->currentIndex() - 1;
    if (nationIndex >= 0)
        Q_EMIT nationRequested(qint64(nationIndex) * RecordSize::Nation);
}

void PlayerScreen::bnPSecNatClick()
{
    const int nationIndex = mUi->PSecNation->currentIndex() - 1;
    if (nationIndex >= 0)
        Q_EMIT nationRequested(qint64(nationIndex) * RecordSize::Nation);
}

} // namespace kx3
