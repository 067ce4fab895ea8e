#include "PersonScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/people/RoleRules.h"
#include "core/records/DeleteRecords.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/RelationshipList.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace kx3 {

namespace {

const QString NoClub = QStringLiteral("No Club");
const QString AreYouSure = QString::fromLatin1(RoleMessage::AreYouSure);

} // namespace

PersonScreen::PersonScreen(ScreenContext &context, RoleScreen role, QWidget *parent)
    : RecordScreen(
        context, role == RoleScreen::Player ? EditorScreen::Player : EditorScreen::Staff, parent),
      mRole(role)
{
}

void PersonScreen::setUp(const PersonControls &c, std::span<const char *const> boxNames)
{
    mControls = c;
    Q_ASSERT(boxNames.size() == personBoxes(mRole).size());
    mBoxes = findBoxes(this, boxNames);
    describeBoxes(personEditBoxes(mRole));
    fillItems(c.job, itemsOf(JobNames));
    fillItems(c.classification, itemsOf(ClassificationNames));
    setUpRelationshipList(c.miscList);
    const QIcon goTo = style()->standardIcon(QStyle::SP_ArrowRight);
    for (QToolButton *b : {c.toNation, c.toSecondNation, c.toClub})
        b->setIcon(goTo);
    onDoubleClick(c.club, [this] { toClubClick(); });
    keepToolTipsUp(this);

    connect(c.firstName, &QLineEdit::textChanged, this,
            [this] { nameChanged(true, false, false); });
    connect(c.secondName, &QLineEdit::textChanged, this,
            [this] { nameChanged(false, true, false); });
    connect(c.commonName, &QLineEdit::textChanged, this,
            [this] { nameChanged(false, false, true); });
    connect(c.nation, &QComboBox::currentIndexChanged, this, &PersonScreen::nationChanged);
    connect(c.job, &QComboBox::currentIndexChanged, this, &PersonScreen::jobChanged);
    connect(c.classification, &QComboBox::currentIndexChanged, this, &PersonScreen::classChanged);
    connect(c.confirm, &QAbstractButton::clicked, this, [this] { confirm(); });
    connect(c.makePerfect, &QAbstractButton::clicked, this, &PersonScreen::makePerfectClick);
    connect(c.transfer, &QAbstractButton::clicked, this, &PersonScreen::transferRequested);
    connect(c.otherRole, &QAbstractButton::clicked, this, [this] {
        if (const std::optional<int> index = currentRecord())
            requestRecord(kind() == EditorScreen::Player ? EditorScreen::Staff
                                                         : EditorScreen::Player,
                          *index);
    });
    connect(c.miscButton, &QAbstractButton::clicked, this, &PersonScreen::miscListClick);
    for (QAbstractButton *button : {c.transfer, c.miscButton, c.makePerfect})
        addChangeButton(button);
    connect(c.miscList, &QTreeWidget::itemDoubleClicked, this, &PersonScreen::miscListClick);
    connect(c.toClub, &QToolButton::clicked, this, &PersonScreen::toClubClick);
    connect(c.toNation, &QToolButton::clicked, this, [this] { goToNation(mControls.nation); });
    connect(c.toSecondNation, &QToolButton::clicked, this,
            [this] { goToNation(mControls.secondNation); });
}

std::vector<QComboBox *> PersonScreen::nationLists() const
{
    return {mControls.nation, mControls.secondNation};
}

void PersonScreen::fillNationLists()
{
    refillItems(nationLists(), mContext.lookups.nations());
}

PersonEditFlags PersonScreen::changedFlags() const
{
    PersonEdit edit;
    readExtra(edit);
    PersonEditFlags flags = mChanged;
    flags.history = edit.changed.history;
    return flags;
}

QString PersonScreen::title() const
{
    return mControls.firstName->text() + QLatin1Char(' ') + mControls.secondName->text();
}

bool PersonScreen::loadRecord(int index)
{
    const std::optional<PersonEdit> edit =
        loadPersonEdit(mContext.db, index, mRole, mContext.lookups.clubNames().names());
    if (edit)
        showEdit(*edit);
    return edit.has_value();
}

// Filling the boxes marked them as typed; nothing is changed yet. The
// relationship list is of the person now current.
void PersonScreen::recordShown()
{
    mChanged = {};
    setExisting(true);
    rebuildMiscList();
}

void PersonScreen::showEdit(const PersonEdit &e)
{
    fillNationLists();
    mEdit = e;
    mControls.firstName->setText(fromCp1252(e.firstName));
    mControls.secondName->setText(fromCp1252(e.secondName));
    mControls.commonName->setText(fromCp1252(e.commonName));
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setText(e.boxes.value(qsizetype(i)));
    selectQuietly(mControls.nation, e.nationItem);
    selectQuietly(mControls.secondNation, e.secondNationItem);
    selectQuietly(mControls.job, e.jobItem);
    selectQuietly(mControls.classification, e.classItem);
    const bool hasClub = e.shownClub >= 0;
    mControls.club->setText(hasClub ? fromCp1252(ClubShortName(mContext.db, e.shownClub))
                                    : NoClub);
    mControls.toClub->setEnabled(hasClub);
    mControls.otherRole->setEnabled(e.classItem == Classification::PlayerNonPlayer);
    showExtra(e);
    rebuildMiscList();
}

PersonEdit PersonScreen::readEdit() const
{
    PersonEdit edit = mEdit;
    edit.firstName = toCp1252(mControls.firstName->text());
    edit.secondName = toCp1252(mControls.secondName->text());
    edit.commonName = toCp1252(mControls.commonName->text());
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        edit.boxes[qsizetype(i)] = mBoxes[i]->text();
    edit.nationItem = mControls.nation->currentIndex();
    edit.secondNationItem = mControls.secondNation->currentIndex();
    edit.jobItem = mControls.job->currentIndex();
    edit.classItem = mControls.classification->currentIndex();
    readExtra(edit);
    const bool historyChanged = edit.changed.history;
    edit.changed = mChanged;
    edit.changed.history = historyChanged;
    return edit;
}

bool PersonScreen::checkBoxes(bool report)
{
    const bool creating = mContext.state.newRecordMode;
    if (!creating && !mShown)
        return false;
    const EditResult checked =
        personEditRefusal(mContext.db, creating ? std::nullopt : mShown, readEdit());
    if (!checked.ok() && report)
        showRefusal(checked);
    return checked.ok();
}

EditResult PersonScreen::applyBoxes(std::optional<int> record)
{
    mApplied = readEdit();
    return applyPersonEdit(mContext.db, mContext.lookups.clubNames().names(), record, mApplied);
}

void PersonScreen::recordConfirmed(bool created)
{
    mEdit = mApplied;
    if (created)
        mEdit.shownClub = PersonNone::Club;
    mChanged = {};
    confirmed();
    rebuildMiscList();
    setExisting(true);
}

QWidget *PersonScreen::refusedBox(int box) const
{
    return box == HistoryBox ? historyControl() : RecordScreen::refusedBox(box);
}

void PersonScreen::loadNewRecord()
{
    const PersonEdit edit = newPersonEdit(mRole);
    showEdit(edit);
    mChanged = edit.changed;
    mControls.tabs->setCurrentIndex(0);
    mControls.toClub->setEnabled(false);
    mControls.otherRole->setEnabled(false);
    setExisting(false);
    mControls.firstName->setFocus();
}

void PersonScreen::deleteRecord()
{
    const std::optional<int> index = currentRecord();
    if (!index || !mContext.prompter.question(AreYouSure))
        return;
    const QString name = title();
    bool deleted = false;
    {
        BusyCursor busy;
        deleted = deletePerson(mContext.db, *index);
    }
    if (!deleted) {
        mContext.prompter.information(QStringLiteral(
            "The person could not be deleted: the staff tables are not consistent."));
        return;
    }
    recordRemoved(*index, name, deletedMessage(DeletedPersonKind));
}

void PersonScreen::setExisting(bool existing)
{
    mControls.transfer->setEnabled(existing);
}

void PersonScreen::relationshipsChanged(MiscListSource source)
{
    const MiscListSource mine =
        mRole == RoleScreen::Player ? MiscListSource::Player : MiscListSource::Staff;
    // The slot was written for this screen: not behind its back.
    if (source == mine) {
        adoptRecordBytes();
        rebuildMiscList();
    }
}

void PersonScreen::rebuildMiscList()
{
    const std::optional<int> index = currentRecord();
    fillRelationshipList(mControls.miscList, index ? personRelationshipRows(
                                                 mContext.db, mContext.lookups.clubNames(), *index)
                                                   : QList<RelationshipRow>());
}

void PersonScreen::nameChanged(bool first, bool second, bool common)
{
    mChanged.firstName = mChanged.firstName || first;
    mChanged.secondName = mChanged.secondName || second;
    mChanged.commonName = mChanged.commonName || common;
    mChanged.misc = true;
    if (!common)
        Q_EMIT titleChanged(title());
}

// Names are looked up under the nationality, so a new one resolves all three again.
void PersonScreen::nationChanged()
{
    mChanged.firstName = mChanged.secondName = mChanged.commonName = true;
    mChanged.nationality = true;
}

void PersonScreen::jobChanged(int item)
{
    const std::optional<int> index = currentRecord();
    if (item < 0 || (!mContext.state.newRecordMode && !index))
        return;
    Database &db = mContext.db;
    const int stored = index ? person(db, *index)->job() : newRecordJob(mRole);
    const RoleDecision decision = decideJobChange(db, index, mRole, item, mEdit.shownClub >= 0);
    const QString message = QString::fromLatin1(decision.message);
    bool changed = false;
    // A role added or dropped is written at once, not at the next confirm.
    if (decision.verdict != RoleVerdict::Accept && !changesAllowed()) {
        selectQuietly(mControls.job, stored);
        return;
    }
    switch (decision.verdict) {
    case RoleVerdict::Accept: return;
    case RoleVerdict::Refuse: mContext.prompter.information(message); break;
    case RoleVerdict::AskAddNonPlayingRole:
        if (index && mContext.prompter.question(message)) {
            BusyCursor busy;
            changed = addNonPlayingRole(db, *index, item);
        }
        if (changed) {
            roleChanged(*index);
            showRecord();
            return;
        }
        break;
    case RoleVerdict::AskDropPlayingRole:
        if (index && mContext.prompter.question(message)) {
            BusyCursor busy;
            changed = dropPlayingRole(db, *index, item);
        }
        if (changed) {
            roleChanged(*index);
            // The player screen has nothing left to show of him: what it
            // held is not asked about on the way to his staff screen.
            if (mRole == RoleScreen::Player) {
                dropUnconfirmedEdits();
                Q_EMIT recordRequested(EditorScreen::Staff, personOffset(*index));
            } else {
                showRecord();
            }
            return;
        }
        break;
    }
    selectQuietly(mControls.job, stored);
}

// A role is added or dropped at once, as a step of its own: the screens then
// show the person as stored, whatever else their boxes held.
void PersonScreen::roleChanged(int index)
{
    takeStep(QStringLiteral("Change Job"), recordRef(kind(), index), recordRef(kind(), index));
}

void PersonScreen::classChanged(int item)
{
    const std::optional<int> index = currentRecord();
    if (item < 0 || (!mContext.state.newRecordMode && !index))
        return;
    const RoleDecision decision = decideClassChange(mContext.db, index, mRole, item);
    if (decision.verdict == RoleVerdict::Accept)
        return;
    mContext.prompter.information(QString::fromLatin1(decision.message));
    selectQuietly(mControls.classification,
                  index ? person(mContext.db, *index)->classification() : newRecordClass(mRole));
}

// Only the boxes change; the record follows at the next confirm.
void PersonScreen::makePerfectClick()
{
    if (!mContext.prompter.question(AreYouSure))
        return;
    for (const PerfectValue &v : perfectValues(mRole))
        mBoxes[std::size_t(v.box)]->setText(QString::number(v.value));
}

void PersonScreen::miscListClick()
{
    const int row = selectedRelationshipRow(mControls.miscList);
    const MiscListSource source =
        mRole == RoleScreen::Player ? MiscListSource::Player : MiscListSource::Staff;
    if (row >= 0 && currentRecord() && changesAllowed())
        Q_EMIT miscListDialogRequested(source, row);
}

void PersonScreen::toClubClick()
{
    const std::optional<int> index = currentRecord();
    if (!index)
        return;
    const std::int32_t club = person(mContext.db, *index)->club();
    if (club >= 0
        && mContext.db.clubs().contains(recordOffset(EditorScreen::Club, club), RecordSize::Club))
        requestRecord(EditorScreen::Club, club);
}

void PersonScreen::goToNation(const QComboBox *list)
{
    if (const std::optional<int> nation = chosenNation(list))
        requestRecord(EditorScreen::Nation, *nation);
}

} // namespace kx3
