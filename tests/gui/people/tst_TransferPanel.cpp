#include "gui/people/TransferPanel.h"

#include "core/db/Cp1252.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/people/Transfers.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/SearchGroup.h"
#include "gui/app/SearchMenu1.h"
#include "gui/app/SearchMenu2.h"
#include "gui/app/TMainForm.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace kx3;
using kx3::test::ScriptedPrompter;

namespace {

const QString Question = QStringLiteral("Are you sure?");

} // namespace

/// The transfer menu and deletion, through the window as a user reaches them.
class tst_TransferPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void transferMovesThePlayer();
    void refusalsMoveNothing_data();
    void refusalsMoveNothing();
    void badBoxStopsTheTransfer();
    void releaseAndCancel();
    void deletePerson_data();
    void deletePerson();
    void deleteOfficial();

private:
    Database &db() { return mForm->database(); }
    QPushButton *button(const char *name) const
    {
        return mForm->findChild<QPushButton *>(QLatin1String(name));
    }
    QString text(const char *label) const
    {
        return mForm->findChild<QLabel *>(QLatin1String(label))->text();
    }
    void click(const char *name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QString panel() const { return mForm->currentPanel()->objectName(); }
    QString editor() const { return mForm->editorFrame()->currentEditorPanel()->objectName(); }
    /// A player of the generated world with a club, shown on the player screen.
    int openPlayerWithClub()
    {
        const int p = test::findPerson(db(), [](const PersonRecord &r) {
            return r.club() >= 0 && r.job() == Job::Player && r.classification() == 2;
        });
        mForm->openRecord(EditorScreen::Player, personOffset(p));
        return p;
    }
    /// A club other than `club`, not a national team.
    int otherClub(int club) const { return club == 0 ? 1 : 0; }
    /// Opens the transfer menu from the player screen and picks `target`.
    void startTransferTo(int target)
    {
        click("PTransfer");
        QCOMPARE(panel(), QStringLiteral("pnSearch1"));
        Q_EMIT mForm->searchMenu1()->transferTargetChosen(qint64(target) * RecordSize::Club);
    }

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<TMainForm> mForm;
    ScriptedPrompter *mPrompter = nullptr;
};

void tst_TransferPanel::init()
{
    BuilderOptions options;
    options.persons = 80;
    mInstall = std::make_unique<test::TestInstallation>(options);
    auto prompter = std::make_unique<ScriptedPrompter>();
    mPrompter = prompter.get();
    mForm = std::make_unique<TMainForm>(std::make_unique<test::FakeSource>(), mInstall->path(),
                                        std::move(prompter));
    mForm->show();
    QVERIFY(QTest::qWaitForWindowActive(mForm.get()));
    click("bnBegin");
    QCOMPARE(panel(), QStringLiteral("pnSearch1"));
}

void tst_TransferPanel::cleanup()
{
    QCOMPARE(mPrompter->pendingAnswers(), 0);
    mForm.reset();
    mInstall.reset();
}

void tst_TransferPanel::transferMovesThePlayer()
{
    const int p = openPlayerWithClub();
    const int from = person(db(), p)->club();
    const int to = otherClub(from);
    click("PTransfer");
    QCOMPARE(mForm->searchMenu1()->title(), QStringLiteral("Transfer Menu"));
    QCOMPARE(button("bnGotoClub")->text(), QStringLiteral("Select Target Club"));
    QCOMPARE(text("STCurClub"), fromCp1252(ClubShortName(db(), from)));
    QCOMPARE(text("STTarClub"), QStringLiteral("Select on the right list!! --->"));
    QVERIFY(!button("ConfirmTransfer")->isEnabled());
    QVERIFY(button("FreeTransfer")->isEnabled());

    // A national team is refused; a club is taken.
    Q_EMIT mForm->searchMenu1()->transferTargetChosen(qint64(db().clubCount()) * RecordSize::Club);
    QCOMPARE(mPrompter->texts().last(), QStringLiteral("Cannot Transfer To National Team."));
    QCOMPARE(text("STTarClub"), QStringLiteral("Select on the right list !! --->"));
    QVERIFY(!button("ConfirmTransfer")->isEnabled());
    Q_EMIT mForm->searchMenu1()->transferTargetChosen(qint64(to) * RecordSize::Club);
    const QString caption = fromCp1252(ClubLongName(db(), to));
    QCOMPARE(button("ConfirmTransfer")->text(), QStringLiteral("Transfer To ") + caption);

    mPrompter->queue(true);
    click("ConfirmTransfer");
    QCOMPARE(person(db(), p)->club(), to);
    QVERIFY(test::findSlot(db(), to, p) >= 0);
    QCOMPARE(test::findSlot(db(), from, p), -1);
    QCOMPARE(panel(), QStringLiteral("pnEdit"));
    QCOMPARE(editor(), QStringLiteral("pnPlayer"));
    QCOMPARE(mForm->findChild<QLabel *>(QStringLiteral("PClub"))->text(),
             fromCp1252(ClubShortName(db(), to)));
    QVERIFY(db().isModified());
    KX3_VERIFY_SOUND(db(), mForm->lookups());
    // The move and the screen's confirm are one step, named by the move.
    QCOMPARE(db().history().undoCount(), 1);
    QVERIFY(db().history().undoStep()->label.startsWith(QStringLiteral("Transfer To ") + caption));
}

void tst_TransferPanel::refusalsMoveNothing_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("same club") << "Target Club is equal to Current Club";
    QTest::newRow("full squad") << "Position on Target Club has been fully occupied.";
}

// Neither refusal moves a slot or the club field; a full squad still confirms
// the player's screen (as a transfer does), which here changes nothing, so
// the data are not marked changed.
void tst_TransferPanel::refusalsMoveNothing()
{
    QFETCH(QString, why);
    const bool full = why.startsWith(QLatin1String("Position"));
    const int p = openPlayerWithClub();
    const int from = person(db(), p)->club();
    const int to = full ? otherClub(from) : from;
    if (full) {
        ClubRecord c = *club(db(), to);
        for (int s = ClubSlots::Squad.first; s < ClubSlots::Squad.end(); ++s)
            c.setPositionSlot(s, s == ClubSlots::Squad.first ? 1 : 0);
    }
    mForm->openRecord(EditorScreen::Player, personOffset(p));
    click("ConfirmPlayer"); // the normalisations of any confirm, done once
    db().clearHistory();
    const QByteArray clubs = db().clubs().bytes();
    const QByteArray staff = db().image(DataFile::Staff).bytes();
    startTransferTo(to);
    if (full)
        mPrompter->queue(true);
    click("ConfirmTransfer");
    QCOMPARE(mPrompter->texts(), (full ? QStringList{Question, why} : QStringList{why}));
    QCOMPARE(db().clubs().bytes(), clubs);
    QCOMPARE(db().image(DataFile::Staff).bytes(), staff);
    QVERIFY(!db().isModified());
}

// The transfer ends by confirming the person screen: a box it cannot store
// stops it before the question, on the box, with nothing moved.
void tst_TransferPanel::badBoxStopsTheTransfer()
{
    const int p = openPlayerWithClub();
    auto *caps = mForm->findChild<QLineEdit *>(QStringLiteral("Cap"));
    caps->setText(QStringLiteral("many"));
    const QByteArray clubs = db().clubs().bytes();
    startTransferTo(otherClub(person(db(), p)->club()));
    click("ConfirmTransfer");
    QCOMPARE(mPrompter->errors(), QStringList{"'many' is not a valid integer value"});
    QCOMPARE(mPrompter->texts(), mPrompter->errors()); // no question
    QCOMPARE(panel(), QStringLiteral("pnEdit"));
    QCOMPARE(QApplication::focusWidget(), caps);
    QCOMPARE(db().clubs().bytes(), clubs);
}

void tst_TransferPanel::releaseAndCancel()
{
    const int p = openPlayerWithClub();
    const int from = person(db(), p)->club();
    const QByteArray clubs = db().clubs().bytes();
    click("PTransfer");
    click("Exit2"); // "Cancel"
    QCOMPARE(panel(), QStringLiteral("pnEdit"));
    QCOMPARE(db().clubs().bytes(), clubs);

    click("PTransfer");
    mPrompter->queue(false);
    click("FreeTransfer");
    QCOMPARE(db().clubs().bytes(), clubs);
    mPrompter->queue(true);
    click("FreeTransfer");
    QCOMPARE(person(db(), p)->club(), PersonNone::Club);
    QCOMPARE(test::findSlot(db(), from, p), -1);
    QCOMPARE(mForm->findChild<QLabel *>(QStringLiteral("PClub"))->text(),
             QStringLiteral("No Club"));
    KX3_VERIFY_SOUND(db(), mForm->lookups());
}

void tst_TransferPanel::deletePerson_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

// The finish of a deletion: every result list but the stadium list emptied,
// the last search menu in front, the message, club 0 behind it.
void tst_TransferPanel::deletePerson()
{
    QFETCH(bool, yes);
    for (const char *box : {"StadSearch", "CSearch"})
        mForm->findChild<QLineEdit *>(QLatin1String(box))->setText(QStringLiteral("a"));
    mForm->searchMenu2()->stadiums()->beginSearch();
    mForm->searchMenu1()->clubs()->beginSearch();
    const int stadiumRows =
        mForm->findChild<QTreeView *>(QStringLiteral("StadSearchList"))->model()->rowCount();
    QVERIFY(stadiumRows > 0);
    QCOMPARE(mPrompter->texts(), QStringList());
    const int p = openPlayerWithClub();
    const int persons = personCount(db());
    const int clubRows =
        mForm->findChild<QTreeView *>(QStringLiteral("CSearchList"))->model()->rowCount();
    mPrompter->queue(yes);
    click("bnDelete");
    if (!yes) {
        QCOMPARE(personCount(db()), persons);
        QCOMPARE(mPrompter->texts(), QStringList{Question});
        QVERIFY(!db().isModified());
        return;
    }
    QCOMPARE(personCount(db()), persons - 1);
    QCOMPARE(mPrompter->texts(),
             (QStringList{Question, "The Player/Staff has been successfuly deleted."}));
    QCOMPARE(panel(), QStringLiteral("pnSearch1"));
    QCOMPARE(mForm->findChild<QTreeView *>(QStringLiteral("CSearchList"))->model()->rowCount(),
             clubRows);
    QCOMPARE(mForm->findChild<QTreeView *>(QStringLiteral("StadSearchList"))->model()->rowCount(),
             stadiumRows);
    QCOMPARE(editor(), QStringLiteral("pnClub"));
    QCOMPARE(mForm->editorFrame()->title(), fromCp1252(ClubLongName(db(), 0)));
    QVERIFY(db().isModified());
    QVERIFY(p >= 0);
    KX3_VERIFY_SOUND(db(), mForm->lookups());
}

void tst_TransferPanel::deleteOfficial()
{
    const int officials = officialCount(db());
    mForm->openRecord(EditorScreen::Official, qint64(officials - 1) * RecordSize::Official);
    QCOMPARE(button("bnDelete")->text(), QStringLiteral("Delete Official"));
    mPrompter->queue(true);
    click("bnDelete");
    QCOMPARE(officialCount(db()), officials - 1);
    QCOMPARE(mPrompter->texts().last(),
             QStringLiteral("The Official has been successfuly deleted."));
    QCOMPARE(editor(), QStringLiteral("pnClub"));

    // Nothing to delete on a city, and nothing while a new record is pending.
    mForm->openRecord(EditorScreen::City, 0);
    QVERIFY(!button("bnDelete")->isEnabled());
    mForm->openRecord(EditorScreen::Official, 0);
    mPrompter->queue(true);
    click("bnCreateNew");
    QVERIFY(!button("bnDelete")->isEnabled());
}

KX3_GUI_TEST_MAIN(tst_TransferPanel)
#include "tst_TransferPanel.moc"
