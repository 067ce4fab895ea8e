#include "core/db/Cp1252.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/HistoryController.h"
#include "gui/app/SearchGroup.h"
#include "gui/app/SearchMenu2.h"
#include "gui/app/SearchMenuModes.h"
#include "gui/app/SplashScreen.h"
#include "gui/app/TMainForm.h"
#include "gui/widgets/SearchResultModel.h"
#include "gui/widgets/StatusBar.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "RecordsTestSupport.h"
#include "SaveFaults.h"
#include "TestDatabase.h"
#include "TestFiles.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using kx3::DataFile;
using kx3::TMainForm;
using kx3::test::FailAtStep;
using kx3::test::FakeSource;
using kx3::test::ScriptedPrompter;
using kx3::test::writeEmptyInstallation;
using Answer = kx3::Prompter::Answer;

Q_DECLARE_METATYPE(kx3::EditorScreen)

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString SaveQuestion = QStringLiteral("Data has been modified. Save Changes?");

/// The pairs of shown, named siblings anywhere under `root` that overlap.
QSet<QString> overlaps(QWidget *root)
{
    QSet<QString> pairs;
    const QList<QWidget *> parents = root->findChildren<QWidget *>() << root;
    for (const QWidget *parent : parents) {
        QList<const QWidget *> shown;
        for (const QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisible() && !w->objectName().isEmpty()
                && !w->objectName().startsWith(QLatin1String("qt_")))
                shown << w;
        }
        for (int i = 0; i < shown.size(); ++i) {
            for (int j = i + 1; j < shown.size(); ++j) {
                if (shown[i]->geometry().intersects(shown[j]->geometry()))
                    pairs << shown[i]->objectName() + u'/' + shown[j]->objectName();
            }
        }
    }
    return pairs;
}

} // namespace

class TestTMainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QStandardPaths::setTestModeEnabled(true);
    }
    void init();
    void cleanup();

    void windowShape();
    void windowGrowsWithItsLists();
    void startButtons_data();
    void startButtons();
    void notInstalledEnds();
    void startEditingLoadsChosenFolder_data();
    void startEditingLoadsChosenFolder();
    void folderFromCommandLineSkipsTheRegistry();
    void loadFailureKeepsSplash();
    void exitClosesAtOnce_data();
    void exitClosesAtOnce();
    void sampleSearchesFindRecords();
    void searchReturnsToLastMenuUsed();
    void searchResetsMainMenu();
    void noEditorHidesTheLastOne();
    void personAndClubGoToEachOther();
    void goToButtonsWalkTheWorld();
    void abandonedCreateShowsTheRecordAgain_data();
    void abandonedCreateShowsTheRecordAgain();
    void save_data();
    void save();
    void longSaveShowsProgressAndTakesNoInput();
    void closingAsksToSave_data();
    void closingAsksToSave();
    void failedSaveOnExitKeepsWindowOpen();
    void leavingAsksToApplyEdits_data();
    void leavingAsksToApplyEdits();
    void undoAndRedoByButtonAndKey();
    void sequencesWriteOnlyTheirRecord_data();
    void sequencesWriteOnlyTheirRecord();
    void lockedInstallationOpensReadOnly();
    void saveAsksWhenFilesChangedOnDisk_data();
    void saveAsksWhenFilesChangedOnDisk();

private:
    /// A window over the given installations, shown and through its start-up.
    void startForm(std::optional<QString> kx3, std::optional<QString> kx9900,
                   const QString &currentDir);
    /// startForm on one installation, then "Begin Editing" on it.
    bool startEditing();
    /// A generated installation of 60 persons, opened with "Begin Editing".
    kx3::Database &editGenerated()
    {
        kx3::BuilderOptions options;
        options.persons = 60;
        mInstall = std::make_unique<kx3::test::TestInstallation>(options);
        startForm(std::nullopt, std::nullopt, mInstall->path());
        click("bnBegin");
        return mForm->database();
    }
    /// Marks the database changed, with a first byte in the index file to look for.
    void changeData();
    QPushButton *button(const char *name) const
    {
        return mForm->findChild<QPushButton *>(QLatin1String(name));
    }
    void click(const char *name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QString panelName() const { return mForm->currentPanel()->objectName(); }
    QString focusName() const { return mForm->focusWidget()->objectName(); }
    QString path(const QString &relative) const { return mDir->filePath(relative); }
    char savedByte() const { return readFile(mForm->database().filePath(DataFile::Index)).at(0); }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TMainForm> mForm;
    std::unique_ptr<kx3::test::TestInstallation> mInstall;
    ScriptedPrompter *mPrompter = nullptr;
};

void TestTMainForm::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
}

void TestTMainForm::cleanup()
{
    if (mPrompter)
        QCOMPARE(mPrompter->pendingAnswers(), 0);
    mForm.reset();
    mInstall.reset();
    mPrompter = nullptr;
    mDir.reset();
}

void TestTMainForm::startForm(std::optional<QString> kx3, std::optional<QString> kx9900,
                              const QString &currentDir)
{
    auto source = std::make_unique<FakeSource>();
    source->kx3 = std::move(kx3);
    source->kx9900 = std::move(kx9900);
    auto prompter = std::make_unique<ScriptedPrompter>();
    mPrompter = prompter.get();
    mForm = std::make_unique<TMainForm>(std::move(source), currentDir, std::move(prompter));
    mForm->splashScreen()->setRandomSource([](int) { return 7; });
    mForm->show();
    QCoreApplication::processEvents();
}

bool TestTMainForm::startEditing()
{
    const QString game = path(QStringLiteral("game"));
    writeEmptyInstallation(game);
    startForm(std::nullopt, std::nullopt, game);
    click("bnBegin");
    return mForm->database().isLoaded();
}

void TestTMainForm::changeData()
{
    QVERIFY(mForm->database().image(DataFile::Index).setU8(0, 0x5a));
}

void TestTMainForm::windowShape()
{
    startForm(std::nullopt, QStringLiteral("/nowhere"), QString());
    QCOMPARE(mForm->windowTitle(), QStringLiteral("KX3 Pre-Data Editor"));
    // The panels keep the size they are drawn for; the status bar is below.
    const QSize window(609, 474 + kx3::StatusBar::Height);
    QCOMPARE(mForm->size(), window);
    QCOMPARE(mForm->minimumSize(), window);
    QCOMPARE(mForm->currentPanel()->size(), QSize(609, 474));
    QVERIFY(mForm->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(mForm->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QCOMPARE(panelName(), QStringLiteral("pnSplash"));
    QCOMPARE(mForm->focusWidget(), button("Exit1"));
    QVERIFY(mPrompter->texts().isEmpty());
    // Nation lists open wider than their boxes, so long names can be read.
    for (const char *name : {"PNation", "PSecNation", "SNation", "SSecNation", "SNatTeam"}) {
        auto *box = mForm->findChild<QComboBox *>(QLatin1String(name));
        QVERIFY2(box && box->view()->minimumWidth() >= 152, name);
    }
    // Buttons keep their width in a larger window, so a caption that does not
    // fit would be cut off.
    const auto buttons = mForm->findChildren<QPushButton *>();
    QVERIFY(buttons.size() >= 13);
    for (const QPushButton *b : buttons) {
        const int needed = b->fontMetrics().horizontalAdvance(b->text()) + 8;
        QVERIFY2(needed <= b->width(), qPrintable(b->objectName()));
        QVERIFY2(b->parentWidget()->rect().contains(b->geometry()), qPrintable(b->objectName()));
    }
}

// A larger window gives its room to the lists and moves nothing onto anything
// else, on the main search menu and every tab of the player screen.
void TestTMainForm::windowGrowsWithItsLists()
{
    kx3::Database &db = editGenerated();
    int player = 0;
    while (kx3::person(db, player)->classification() != 2)
        ++player;
    mForm->openRecord(kx3::EditorScreen::Player, kx3::personOffset(player));
    auto *tabs = mForm->findChild<QTabWidget *>(QStringLiteral("PC2"));
    auto show = [&](int view) {
        if (view == 0) {
            mForm->showMainSearchMenu();
        } else {
            mForm->showEditor();
            tabs->setCurrentIndex(view - 1);
        }
        QCoreApplication::processEvents();
        return overlaps(mForm->currentPanel());
    };
    auto size = [this](const char *name) {
        return mForm->findChild<QWidget *>(QLatin1String(name))->size();
    };
    QList<QSet<QString>> before;
    for (int view = 0; view <= tabs->count(); ++view)
        before << show(view);
    const QSize results = size("PSearchList"), misc = size("PMiscList"), box = size("FName");

    mForm->resize(1280, 800);
    for (int view = 0; view <= tabs->count(); ++view)
        QCOMPARE(show(view), before.at(view));
    QVERIFY(size("PSearchList").width() >= results.width() + (1280 - 609) / 3);
    const int taller = 800 - kx3::StatusBar::Height - 474;
    QCOMPARE(size("PSearchList").height(), results.height() + taller);
    QCOMPARE(size("PMiscList"), misc + QSize(1280 - 609, taller));
    QCOMPARE(size("FName"), box);
    mForm->resize(400, 300);
    QCOMPARE(mForm->size(), QSize(609, 474 + kx3::StatusBar::Height));
}

void TestTMainForm::startButtons_data()
{
    QTest::addColumn<bool>("kx3");
    QTest::addColumn<bool>("kx9900");
    QTest::newRow("only 99/00") << false << true;
    QTest::newRow("only 3") << true << false;
    QTest::newRow("both") << true << true;
    QTest::newRow("neither, game here") << false << false;
}

// A registered edition gets its own enabled button, even with a game in the
// current folder; only with none registered does the current folder count.
void TestTMainForm::startButtons()
{
    QFETCH(bool, kx3);
    QFETCH(bool, kx9900);
    const bool fallback = !kx3 && !kx9900;

    const QString here = path(QStringLiteral("here"));
    writeEmptyInstallation(here);
    auto folder = [&](bool found, const char *name) -> std::optional<QString> {
        return found ? std::optional<QString>(path(QLatin1String(name))) : std::nullopt;
    };
    startForm(folder(kx3, "kx3"), folder(kx9900, "kx9900"), here);

    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(mForm->isVisible());
    QCOMPARE(button("bnBeginKX3")->isVisible(), !fallback);
    QCOMPARE(button("bnBeginKX9900")->isVisible(), !fallback);
    QCOMPARE(button("bnBegin")->isVisible(), fallback);
    if (!fallback) {
        QCOMPARE(button("bnBeginKX3")->isEnabled(), kx3);
        QCOMPARE(button("bnBeginKX9900")->isEnabled(), kx9900);
    }
    QVERIFY(button("Exit1")->isVisible());
    QVERIFY(mForm->splashScreen()->isAnimating());
}

void TestTMainForm::notInstalledEnds()
{
    const QString empty = path(QStringLiteral("empty"));
    QVERIFY(QDir().mkpath(empty + QStringLiteral("/Data")));
    startForm(std::nullopt, std::nullopt, empty);
    QCOMPARE(mPrompter->texts(),
             QStringList{QStringLiteral(
                 "Kickora 3 is not installed in this directory.\n\n"
                 "Please make sure that you run this editor from KX3 main directory.")});
    QVERIFY(!mForm->isVisible());
    QVERIFY(!mForm->splashScreen()->isAnimating());
}

void TestTMainForm::startEditingLoadsChosenFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("registered");
    QTest::newRow("Kickora 3") << QString("kx3") << true;
    QTest::newRow("Kickora 99/00") << QString("kx9900") << true;
    QTest::newRow("current folder") << QString("kx3") << false;
}

void TestTMainForm::startEditingLoadsChosenFolder()
{
    QFETCH(QString, folder);
    QFETCH(bool, registered);
    const QString kx3 = path(QStringLiteral("kx3"));
    const QString kx9900 = path(QStringLiteral("kx9900"));
    writeEmptyInstallation(kx3);
    writeEmptyInstallation(kx9900);
    if (registered)
        startForm(kx3, kx9900, kx9900);
    else
        startForm(std::nullopt, std::nullopt, kx3);

    click(registered ? ("bnBegin" + folder.toUpper()).toLatin1().constData() : "bnBegin");
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(mForm->database().isLoaded());
    QCOMPARE(mForm->dataDirectory(), path(folder));
    QCOMPARE(mForm->database().installDir(), path(folder));
    QVERIFY(!mForm->database().isModified());
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(focusName(), QStringLiteral("PSearch"));
    QVERIFY(!mForm->splashScreen()->isAnimating());
}

// Modders keep several copies of the game: the folder given on the command
// line is offered alone, even when the system's record names another one.
void TestTMainForm::folderFromCommandLineSkipsTheRegistry()
{
    const QString prefix = path(QStringLiteral("wine"));
    QVERIFY(QDir().mkpath(prefix + QStringLiteral("/drive_c/Games/Kickora 3")));
    QVERIFY(QDir().mkpath(prefix + QStringLiteral("/dosdevices")));
    QVERIFY(QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:")));
    QFile reg(prefix + QStringLiteral("/system.reg"));
    QVERIFY(reg.open(QIODevice::WriteOnly));
    reg.write("WINE REGISTRY Version 2\n\n[Software\\\\Vantorel Ltd\\\\Kickora 3] 1\n"
              "\"Location\"=\"C:\\\\Games\\\\Kickora 3\"\n");
    reg.close();
    const QByteArray savedPrefix = qgetenv("WINEPREFIX");
    const bool prefixWasSet = qEnvironmentVariableIsSet("WINEPREFIX");
    qputenv("WINEPREFIX", QFile::encodeName(prefix));
    const auto restorePrefix = qScopeGuard([&] {
        if (prefixWasSet)
            qputenv("WINEPREFIX", savedPrefix);
        else
            qunsetenv("WINEPREFIX");
    });
    QVERIFY(kx3::createSystemInstallationSource()->location(kx3::Edition::Kickora3));

    const QString game = path(QStringLiteral("copy 2"));
    writeEmptyInstallation(game);
    mForm = TMainForm::create(game);
    mForm->show();
    QCoreApplication::processEvents();
    QVERIFY(button("bnBeginKX3")->isHidden() && button("bnBeginKX9900")->isHidden());
    click("bnBegin");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(mForm->database().installDir(), game);
}

void TestTMainForm::loadFailureKeepsSplash()
{
    const QString game = path(QStringLiteral("game"));
    writeEmptyInstallation(game);
    const QString missing = game + QStringLiteral("/Data/officials.dat");
    QVERIFY(QFile::remove(missing));
    startForm(game, std::nullopt, QString());

    click("bnBeginKX3");
    QCOMPARE(mPrompter->texts(),
             QStringList{QStringLiteral("Cannot open file ") + QDir::toNativeSeparators(missing)});
    QVERIFY(!mForm->database().isLoaded());
    QCOMPARE(panelName(), QStringLiteral("pnSplash"));
    QVERIFY(!mForm->splashScreen()->isAnimating());
    QVERIFY(mForm->isVisible());

    // The user may put the file back and press the button again.
    writeEmptyInstallation(game);
    click("bnBeginKX3");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
}

void TestTMainForm::exitClosesAtOnce_data()
{
    QTest::addColumn<QString>("exitButton");
    QTest::newRow("splash") << "Exit1";
    QTest::newRow("main menu") << "Exit2";
    QTest::newRow("miscellaneous menu") << "Exit4";
}

// Until the user has been in the editor the data cannot have changed, so
// "Exit" ends the program without a question.
void TestTMainForm::exitClosesAtOnce()
{
    QFETCH(QString, exitButton);
    if (exitButton == QLatin1String("Exit1"))
        startForm(QStringLiteral("/somewhere"), std::nullopt, QString());
    else
        QVERIFY(startEditing());
    if (exitButton == QLatin1String("Exit4"))
        click("bnSearchP2");
    click(exitButton.toLatin1().constData());
    QVERIFY(!mForm->isVisible());
    QVERIFY(mPrompter->texts().isEmpty());
}

// After the first "Search", both leave buttons read "Cancel" and return to
// the editor, and "Search" comes back to the menu used last.
void TestTMainForm::searchReturnsToLastMenuUsed()
{
    QVERIFY(startEditing());
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Exit"));
    QCOMPARE(button("Exit4")->text(), QStringLiteral("Exit"));
    click("bnSearchP2");
    QCOMPARE(panelName(), QStringLiteral("pnSearch2"));
    QCOMPARE(focusName(), QStringLiteral("OSearch"));

    mForm->openRecord(kx3::EditorScreen::Nation, 0);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch2"));
    QCOMPARE(focusName(), QStringLiteral("OSearch"));
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QCOMPARE(button("Exit4")->text(), QStringLiteral("Cancel"));
    click("Exit4");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));

    click("bnSearch");
    click("bnSearchP1");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(focusName(), QStringLiteral("PSearch"));
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QVERIFY(mForm->isVisible());
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestTMainForm::searchResetsMainMenu()
{
    QVERIFY(startEditing());
    mForm->showEditor();
    // A club slot of the misc-list dialog hides the person groups, and an
    // unconfirmed "Create" is pending.
    QVERIFY(mForm->searchModes()->openMiscListDialog(kx3::MiscListSource::Player, 0));
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    mForm->editorState().newRecordMode = true;

    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QVERIFY(!mForm->editorState().newRecordMode);
    QCOMPARE(mForm->searchModes()->mode(), kx3::SearchMenuModes::Mode::None);
    for (const char *group : {"gb0", "gb1", "gb2"})
        QVERIFY2(mForm->findChild<QGroupBox *>(QLatin1String(group))->isVisible(), group);
    QVERIFY(mForm->findChild<QWidget *>(QStringLiteral("pn6"))->isHidden());
    QVERIFY(mForm->findChild<QWidget *>(QStringLiteral("pnTransfer"))->isHidden());
    QVERIFY(button("bnSearchP2")->isEnabled());
    QCOMPARE(mForm->findChild<QLabel *>(QStringLiteral("pn1"))->text(),
             QStringLiteral("Main Search Menu"));
    QCOMPARE(button("bnGotoPlayer")->text(), QStringLiteral("Go To Player"));
    QCOMPARE(button("bnGotoStaff")->text(), QStringLiteral("Go To Staff"));
    QCOMPARE(button("bnGotoClub")->text(), QStringLiteral("Go To Club"));
    QCOMPARE(focusName(), QStringLiteral("PSearch"));
}

// A kind without an editor (or a record that is not there) leaves no editor
// live under the new title, and neither create nor delete has anything to do.
void TestTMainForm::noEditorHidesTheLastOne()
{
    QVERIFY(startEditing());
    mForm->editorState().newRecordMode = true;
    mForm->openRecord(kx3::EditorScreen::Stadium, 156);
    QVERIFY(!mForm->editorState().newRecordMode);
    QCOMPARE(mForm->editorFrame()->currentEditorPanel()->objectName(),
             QStringLiteral("pnNoEditor"));
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QVERIFY(!button("bnCreateNew")->isEnabled());
    QVERIFY(!button("bnDelete")->isEnabled());
    mForm->openRecord(kx3::EditorScreen::Player, 0); // the database has no persons
    QCOMPARE(mForm->editorFrame()->currentEditorPanel()->objectName(),
             QStringLiteral("pnNoEditor"));
}

// A newcomer presses "Begin Search" on the texts the boxes hold at first, in
// the generated world the run script starts in: every search lists something.
void TestTMainForm::sampleSearchesFindRecords()
{
    editGenerated();
    const char *const searches[][3] = {
        {"PSearch", "bnSearchPlayer", "PSearchList"},
        {"SSearch", "bnSearchStaff", "SSearchList"},
        {"CSearch", "bnSearchClub", "CSearchList"},
        {"OSearch", "bnSearchOff", "OSearchList"},
        {"NSearch", "bnSearchNation", "NSearchList"},
        {"StadSearch", "bnSearchStad", "StadSearchList"},
        {"CtSearch", "bnSearchCity", "CtSearchList"},
    };
    for (const auto &search : searches) {
        if (QLatin1String(search[0]) == QLatin1String("OSearch"))
            click("bnSearchP2");
        const auto *box = mForm->findChild<QLineEdit *>(QLatin1String(search[0]));
        QVERIFY2(box && !box->text().isEmpty(), search[0]);
        click(search[1]);
        const auto *list = mForm->findChild<QAbstractItemView *>(QLatin1String(search[2]));
        QVERIFY2(list->model()->rowCount() > 0, qPrintable(box->text()));
    }
    QVERIFY(mPrompter->texts().isEmpty());
}

// "Go to Club" on a person shows his club; "Go To Player" on its squad list
// shows the player again; "Delete" on the club is refused.
void TestTMainForm::personAndClubGoToEachOther()
{
    kx3::Database &db = editGenerated();
    int player = 1;
    while (kx3::person(db, player)->classification() != 2 || kx3::person(db, player)->club() < 0)
        ++player;
    const int club = kx3::person(db, player)->club();
    mForm->openRecord(kx3::EditorScreen::Player, kx3::personOffset(player));
    const QString playerTitle = mForm->editorFrame()->title();
    QTest::mouseClick(mForm->findChild<QToolButton *>(QStringLiteral("bnPToClub")),
                      Qt::LeftButton);
    auto editor = [this] { return mForm->editorFrame()->currentEditorPanel()->objectName(); };
    QCOMPARE(editor(), QStringLiteral("pnClub"));
    QCOMPARE(mForm->editorFrame()->title(), kx3::fromCp1252(kx3::ClubLongName(db, club)));
    QCOMPARE(button("bnCreateNew")->text(), QStringLiteral("Create New Club"));
    QCOMPARE(button("bnDelete")->text(), QStringLiteral("Delete Club"));

    auto *squad = mForm->findChild<QTreeWidget *>(QStringLiteral("PlayerList"));
    for (int row = 0; row < squad->topLevelItemCount(); ++row) {
        if (squad->topLevelItem(row)->text(3) == QString::number(player))
            squad->setCurrentItem(squad->topLevelItem(row));
    }
    mPrompter->queue(true);
    click("bnDelete");
    QCOMPARE(mPrompter->texts().last(),
             QStringLiteral("For integrity reason, club deletion is not allowed"));
    QVERIFY(!db.isModified());
    mForm->findChild<QTabWidget *>(QStringLiteral("PC1"))->setCurrentIndex(1);
    click("ListToPlayer");
    QCOMPARE(editor(), QStringLiteral("pnPlayer"));
    QCOMPARE(mForm->editorFrame()->title(), playerTitle);
}

// From a club to its stadium, its city, the city's nation, the nation's
// capital; a go-to also drops a pending "Create".
void TestTMainForm::goToButtonsWalkTheWorld()
{
    kx3::Database &db = editGenerated();
    int c = 0;
    while (kx3::club(db, c)->mainStadium() < 0 || kx3::club(db, c)->nation() < 0)
        ++c;
    mForm->openRecord(kx3::EditorScreen::Club, c * kx3::RecordSize::Club);
    auto go = [this](const char *tool, const char *panel) {
        auto *b = mForm->findChild<QToolButton *>(QLatin1String(tool));
        QVERIFY2(b && b->isEnabled(), tool);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(mForm->editorFrame()->currentEditorPanel()->objectName(), QLatin1String(panel));
    };
    const int stadium = kx3::club(db, c)->mainStadium();
    go("bnCMStad", "pnStad");
    QCOMPARE(mForm->editorState().offset(kx3::EditorScreen::Stadium),
             stadium * kx3::RecordSize::Stadium);
    QVERIFY(kx3::stadium(db, stadium)->city() >= 0);
    go("bnStCity", "pnCity");
    mPrompter->queue(true);
    click("bnCreateNew");
    QVERIFY(mForm->editorState().newRecordMode);
    mForm->findChild<QComboBox *>(QStringLiteral("CtNat"))->setCurrentIndex(1);
    mPrompter->queue(false); // the new city's nation is not applied
    go("bnCtNat", "pnNation");
    QCOMPARE(mPrompter->lastText(), QStringLiteral("Apply the changes to <city name>?"));
    QVERIFY(!mForm->editorState().newRecordMode);
    go("bnNCity", "pnCity");
    QCOMPARE(mForm->editorFrame()->title(),
             kx3::fromCp1252(kx3::CityName(
                 db, int(mForm->editorState().offset(kx3::EditorScreen::City) / 56))));
    QCOMPARE(kx3::cityCount(db), int(mForm->lookups().cities().size())); // nothing appended
}

void TestTMainForm::abandonedCreateShowsTheRecordAgain_data()
{
    QTest::addColumn<kx3::EditorScreen>("kind");
    QTest::addColumn<QString>("confirm");
    QTest::newRow("player") << kx3::EditorScreen::Player << QStringLiteral("ConfirmPlayer");
    QTest::newRow("staff") << kx3::EditorScreen::Staff << QStringLiteral("ConfirmStaff");
    QTest::newRow("club") << kx3::EditorScreen::Club << QStringLiteral("ConfirmClub");
}

// "Create", then "Search" and "Cancel": the screen shows its record again, so
// a confirm cannot write a new record's defaults over an existing one.
void TestTMainForm::abandonedCreateShowsTheRecordAgain()
{
    QFETCH(kx3::EditorScreen, kind);
    QFETCH(QString, confirm);
    const bool player = kind == kx3::EditorScreen::Player;
    const bool club = kind == kx3::EditorScreen::Club;
    kx3::Database &db = editGenerated();
    int shown = 1;
    while (!club
           && (player ? kx3::person(db, shown)->classification() != 2
                      : kx3::person(db, shown)->classification() != 1))
        ++shown;
    const qint64 size = club ? kx3::RecordSize::Club : kx3::RecordSize::Person;
    mForm->openRecord(kind, shown * size);
    const QString title = mForm->editorFrame()->title();
    const QByteArray before = club ? db.clubs().bytes() : db.image(DataFile::Staff).bytes();

    mPrompter->queue(true);
    click("bnCreateNew");
    QCOMPARE(mForm->editorFrame()->title(),
             club ? QStringLiteral("<long name>") : QStringLiteral("<first name> <second name>"));
    click("bnSearch");
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(mForm->editorFrame()->title(), title);
    QVERIFY(button("bnDelete")->isEnabled());
    click(confirm.toLatin1().constData());
    const QByteArray after = club ? db.clubs().bytes() : db.image(DataFile::Staff).bytes();
    QCOMPARE(after.size(), before.size());
    const QByteArray record =
        club ? kx3::test::clubAfterUnchangedConfirm(before.mid(size, size))
             : kx3::test::staffAfterUnchangedConfirm(db, shown, !player).mid(shown * size, size);
    QCOMPARE(after.mid(shown * size, size), record);
    QCOMPARE(after.left(size), before.left(size));
    db.clearHistory();
}

void TestTMainForm::save_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<bool>("byKey"); // Ctrl+S rather than the button
    QTest::newRow("Yes") << true << false << false;
    QTest::newRow("No") << false << false << false;
    QTest::newRow("Yes, but a file cannot be written") << true << true << false;
    QTest::newRow("Ctrl+S, Yes") << true << false << true;
}

void TestTMainForm::save()
{
    QFETCH(bool, yes);
    QFETCH(bool, writeFails);
    QFETCH(bool, byKey);
    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    FailAtStep fault(FailAtStep::Stage::Write, 0);
    if (writeFails)
        db.setSaveFaultInjector(&fault);
    changeData();

    mForm->showEditor();
    mPrompter->queue(yes);
    if (byKey)
        QTest::keyClick(mForm.get(), Qt::Key_S, Qt::ControlModifier);
    else
        click("bnSave");
    db.setSaveFaultInjector(nullptr);
    QStringList texts{QStringLiteral("Are you sure?")};
    if (writeFails)
        texts << QStringLiteral("Cannot create file ")
                     + QDir::toNativeSeparators(db.filePath(DataFile::Club));
    QCOMPARE(mPrompter->texts(), texts);
    // The operating system's reason goes below the message.
    QCOMPARE(mPrompter->lastDetail().contains(fault.reason()), writeFails);
    const bool saved = yes && !writeFails;
    QCOMPARE(db.isModified(), !saved);
    QCOMPARE(savedByte(), saved ? char(0x5a) : '\0');
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    // Only a save that worked says so, and how many files it wrote.
    const auto *notice = mForm->findChild<QLabel *>(QStringLiteral("lbNotice"));
    QCOMPARE(notice && !notice->isHidden(), saved);
    if (saved)
        QVERIFY(notice->text().contains(QRegularExpression(QStringLiteral("^Saved 1\\d files$"))));
}

// Held at its first write, a save shows what it does in a modal progress
// dialog while the window's events go on; a click and a key meanwhile reach
// nothing: the question before saving is asked once.
void TestTMainForm::longSaveShowsProgressAndTakesNoInput()
{
    struct Hold : FailAtStep
    {
        Hold() : FailAtStep(Stage::Write, -1) {}
        void atStep(int step) override
        {
            if (step == 0)
                latch.acquire();
        }
        QSemaphore latch;
    } hold;
    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    db.setSaveFaultInjector(&hold);
    auto unhold = qScopeGuard([&] { db.setSaveFaultInjector(nullptr); });
    changeData();
    mForm->showEditor();
    mPrompter->queue(true);
    QString label;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        label = dialog->labelText();
        QTest::mouseClick(button("bnSave"), Qt::LeftButton);
        QTest::keyClick(mForm.get(), Qt::Key_S, Qt::ControlModifier);
        hold.latch.release();
    });
    poll.start(10);
    QTimer::singleShot(5000, &poll, [&] { hold.latch.release(); }); // no dialog: fail, not hang
    click("bnSave");
    QCOMPARE(label, QStringLiteral("Saving to %1\nWriting %2 files")
                        .arg(QDir::toNativeSeparators(path(QStringLiteral("game/Data"))))
                        .arg(kx3::SavedDataFiles.size()));
    QCOMPARE(mPrompter->texts(), QStringList{QStringLiteral("Are you sure?")});
    QCOMPARE(savedByte(), char(0x5a));
    QVERIFY(!QApplication::activeModalWidget());
}

void TestTMainForm::closingAsksToSave_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");

    QTest::newRow("nothing changed") << QString("Exit3") << false << Answer::No << true << false;
    for (const QString how : {"Exit3", "window", "Exit2"}) {
        const QByteArray h = how.toLatin1();
        QTest::newRow(h + " Yes") << how << true << Answer::Yes << true << true;
        QTest::newRow(h + " No") << how << true << Answer::No << true << false;
        QTest::newRow(h + " Cancel") << how << true << Answer::Cancel << false << false;
    }
}

// Whatever ends the program, unsaved changes are offered for saving first.
void TestTMainForm::closingAsksToSave()
{
    QFETCH(QString, how);
    QFETCH(bool, changed);
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);

    QVERIFY(startEditing());
    if (changed) {
        changeData();
        mPrompter->queue(answer);
    }
    if (how == QLatin1String("Exit3")) {
        mForm->showEditor();
        click("Exit3");
    } else if (how == QLatin1String("Exit2")) {
        click("Exit2");
    } else {
        mForm->close();
    }
    QCOMPARE(mPrompter->texts(), changed ? QStringList{SaveQuestion} : QStringList());
    QCOMPARE(!mForm->isVisible(), closed);
    QCOMPARE(savedByte(), saved ? char(0x5a) : '\0');
    QCOMPARE(mForm->database().isModified(), changed && !saved);
}

void TestTMainForm::failedSaveOnExitKeepsWindowOpen()
{
    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    FailAtStep fault(FailAtStep::Stage::Replace, 3);
    db.setSaveFaultInjector(&fault);
    changeData();

    mForm->showEditor();
    mPrompter->queue(Answer::Yes);
    click("Exit3");
    db.setSaveFaultInjector(nullptr);
    QCOMPARE(mPrompter->texts().size(), 2);
    QCOMPARE(mPrompter->texts().at(0), SaveQuestion);
    QVERIFY(mPrompter->texts().at(1).startsWith(QStringLiteral("Cannot create file ")));
    QVERIFY(mForm->isVisible());
    QVERIFY(db.isModified());
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));

    // Asked again, the user may now give up the changes.
    mPrompter->queue(Answer::No);
    click("Exit3");
    QVERIFY(!mForm->isVisible());
}

void TestTMainForm::leavingAsksToApplyEdits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text"); // empty: typed and typed back
    QTest::addColumn<bool>("closing");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("stays");
    QTest::addColumn<bool>("applied");
    QTest::newRow("typed back") << "CtName"
                                << "" << false << Answer::Yes << false << false;
    QTest::newRow("Yes") << "CtName"
                         << "Zorbury" << false << Answer::Yes << false << true;
    QTest::newRow("No") << "CtName"
                        << "Zorbury" << false << Answer::No << false << false;
    QTest::newRow("Cancel") << "CtName"
                            << "Zorbury" << false << Answer::Cancel << true << false;
    QTest::newRow("Yes, refused") << "CtAttract"
                                  << "abc" << false << Answer::Yes << true << false;
    QTest::newRow("closing, No") << "CtName"
                                 << "Zorbury" << true << Answer::No << false << false;
}

// Leaving a screen whose boxes were changed asks before the changes are lost.
void TestTMainForm::leavingAsksToApplyEdits()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(bool, closing);
    QFETCH(Answer, answer);
    QFETCH(bool, stays);
    QFETCH(bool, applied);
    kx3::Database &db = editGenerated();
    mForm->openRecord(kx3::EditorScreen::City, 0);
    auto *edit = mForm->findChild<QLineEdit *>(box);
    const QString old = edit->text();
    const QByteArray cities = db.image(DataFile::City).bytes();
    edit->setText(text.isEmpty() ? QStringLiteral("Zorbury") : text);
    if (text.isEmpty())
        edit->setText(old);
    const QString question =
        QStringLiteral("Apply the changes to %1?").arg(mForm->editorFrame()->title());
    const bool asked = !text.isEmpty();
    if (asked)
        mPrompter->queue(answer);

    if (closing)
        mForm->close();
    else
        click("bnSearch");
    QCOMPARE(mPrompter->texts().value(0), asked ? question : QString());
    QCOMPARE(!mPrompter->errors().isEmpty(), box == QLatin1String("CtAttract"));
    QCOMPARE(db.image(DataFile::City).bytes() != cities, applied);
    QCOMPARE(db.history().undoCount(), applied ? 1 : 0);
    QCOMPARE(db.isModified(), applied);
    QCOMPARE(mForm->isVisible(), !closing);
    if (!closing)
        QCOMPARE(panelName(), stays ? QStringLiteral("pnEdit") : QStringLiteral("pnSearch1"));
    if (stays)
        QCOMPARE(edit->text(), text);
    else
        QCOMPARE(edit->text(), applied ? text : old);
}

// Ctrl+Z undoes the text box's typing first, then the editor's steps; the
// buttons say which step they act on.
void TestTMainForm::undoAndRedoByButtonAndKey()
{
    kx3::Database &db = editGenerated();
    mForm->openRecord(kx3::EditorScreen::City, 0);
    auto *name = mForm->findChild<QLineEdit *>(QStringLiteral("CtName"));
    auto *attract = mForm->findChild<QLineEdit *>(QStringLiteral("CtAttract"));
    const QByteArray cities = db.image(DataFile::City).bytes();
    click("ConfirmCity"); // nothing changed: no step
    QVERIFY(!button("bnUndo")->isEnabled() && !button("bnRedo")->isEnabled());
    QVERIFY(!db.isModified());

    const QString old = attract->text();
    attract->setText(old == QLatin1String("7") ? QStringLiteral("8") : QStringLiteral("7"));
    attract->setFocus();
    QTest::keyClick(attract, Qt::Key_Return, Qt::ControlModifier); // confirms, as the button does
    const QString step = QStringLiteral("Confirm City Data Changes \u2014 ") + name->text();
    QCOMPARE(button("bnUndo")->toolTip(), "Undo: " + step + "\n1 step can be undone");
    QVERIFY(button("bnUndo")->isEnabled() && !button("bnRedo")->isEnabled());
    const QByteArray changed = db.image(DataFile::City).bytes();

    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("x"));
    auto press = [this](QWidget *on, Qt::KeyboardModifiers modifiers, Qt::Key key) {
        QTest::keyClick(on, key, modifiers);
        QCoreApplication::processEvents();
    };
    press(name, Qt::ControlModifier, Qt::Key_Z); // the box's own undo
    QVERIFY(!name->text().endsWith(QLatin1Char('x')));
    QCOMPARE(db.image(DataFile::City).bytes(), changed);
    press(name, Qt::ControlModifier, Qt::Key_Z); // nothing left in the box
    QCOMPARE(db.image(DataFile::City).bytes(), cities);
    QVERIFY(!db.isModified());
    QCOMPARE(attract->text(), old);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(button("bnRedo")->toolTip(), "Redo: " + step + "\n1 step can be redone");
    QVERIFY(!button("bnUndo")->isEnabled());

    press(button("bnSave"), Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    QCOMPARE(db.image(DataFile::City).bytes(), changed);
    click("bnUndo");
    QCOMPARE(db.image(DataFile::City).bytes(), cities);
    press(button("bnSave"), Qt::ControlModifier, Qt::Key_Y);
    QCOMPARE(db.image(DataFile::City).bytes(), changed);
    QVERIFY(db.isModified());

    // A search listed before an undo keeps its row, which reads as the
    // undo left the record.
    const QString oldName = name->text();
    name->setText(QStringLiteral("Zorbury"));
    click("ConfirmCity");
    click("bnSearch");
    click("bnSearchP2");
    mForm->findChild<QLineEdit *>(QStringLiteral("CtSearch"))->setText(QStringLiteral("Zorb"));
    mForm->searchMenu2()->cities()->beginSearch();
    QCOMPARE(mForm->searchMenu2()->cities()->model()->rowCount(), 1);
    mForm->undoClick();
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch2"));
    QCOMPARE(mForm->searchMenu2()->cities()->model()->rowCount(), 1);
    QCOMPARE(mForm->searchMenu2()->cities()->model()->nameAt(0), oldName);
}

// Steps of the user, played in order: "open KIND WHICH", "yes"/"no"/"cancel"
// (the answer to the next question), "click BUTTON", "type BOX TEXT",
// "choose LIST ITEM", "undo", "redo", "mark" (the data as they are now),
// "steps N" (steps that can be undone), "box BOX TEXT" (what a box shows)
// "editor PANEL" (the record screen behind the editor's buttons), "elsewhere
// INDEX" (city INDEX written by a step of its own, as a table or a patch
// writes), "front" (the editor brought to the front) and "edits N" (whether
// the screen in front holds edits), "history N" (a double-click on the N-th
// row of the history list), "damage" (a step that writes a club's slot past
// the persons) and "said TEXT" (how the last message begins).
// A button or box not there to use is passed over: a screen that must be gone
// is gone. At the end the data must be sound and, after a "mark", as marked:
// the steps that followed it wrote nothing.
void TestTMainForm::sequencesWriteOnlyTheirRecord_data()
{
    QTest::addColumn<QString>("steps");
    QTest::newRow("created club undone, Cancel, confirm")
        << "mark; open Club 0; yes; click bnCreateNew; type CLongName Repro FC; "
           "click ConfirmClub; steps 1; undo; click Exit2; editor pnNoEditor; type CRep 150; "
           "click ConfirmClub";
    QTest::newRow("deleted player undone and redone, Cancel, confirm")
        << "open Player any; yes; click bnDelete; undo; redo; mark; click Exit2; "
           "editor pnNoEditor; type PWage 999; click ConfirmPlayer";
    QTest::newRow("deleted official undone and redone, Cancel")
        << "open Official 1; yes; click bnDelete; undo; redo; mark; click Exit2; "
           "editor pnNoEditor; click ConfirmOfficial";
    QTest::newRow("playing role dropped, nothing left to ask")
        << "open Player combined; click PTransfer; yes; click FreeTransfer; yes; choose PJob 8; "
           "steps 2; click bnSearch; mark; click Exit2; click ConfirmStaff";
    QTest::newRow("undo with edits applied first")
        << "open City 1; type CtAttract 17; click ConfirmCity; type CtAttract 18; yes; undo; "
           "steps 2; box CtAttract 18; undo; steps 1; box CtAttract 17";
    QTest::newRow("history list: back to the start and forward again")
        << "mark; open City 1; type CtAttract 17; click ConfirmCity; yes; click bnCreateNew; "
           "type CtName Brand New; click ConfirmCity; steps 2; history 0; steps 0; "
           "editor pnCity; history 2; box CtName Brand New; history 0";
    QTest::newRow("save refused: it would write a new error")
        << "mark; damage; yes; click bnStatusSave; said Nothing was saved; undo";
    QTest::newRow("a name the files could not give back is refused")
        << "mark; open Player any; type FName O\"Neil; click ConfirmPlayer; "
           "said First Name cannot hold a double quote; edits 1";
    QTest::newRow("record written behind edits, then asked")
        << "open City 1; type CtName Typed Over; elsewhere 1; edits 1; yes; front; edits 0; "
           "mark; click ConfirmCity";
    QTest::newRow("record written behind edits, kept, confirm refused")
        << "open City 1; type CtName Typed Over; elsewhere 1; no; front; edits 1; mark; "
           "click ConfirmCity; edits 0";
}

void TestTMainForm::sequencesWriteOnlyTheirRecord()
{
    QFETCH(QString, steps);
    kx3::Database &db = editGenerated();
    std::optional<kx3::DatabaseSnapshot> mark;
    auto usable = [this](const QString &name) {
        auto *w = mForm->findChild<QWidget *>(name);
        return w && w->isVisible() && w->isEnabled() ? w : nullptr;
    };
    auto find = [&db](const QString &which) {
        for (int i = 0; i < kx3::personCount(db); ++i) {
            const kx3::ConstPersonRecord p = *kx3::person(std::as_const(db), i);
            if (which == QLatin1String("combined")
                    ? p.classification() == 3 && kx3::Job::isCombined(p.job())
                    : p.classification() == 2)
                return i;
        }
        return -1;
    };
    for (const QString &step : steps.split(QStringLiteral("; "))) {
        const QStringList w = step.split(u' ');
        const QString rest = w.mid(2).join(u' ');
        if (w[0] == QLatin1String("open")) {
            static const QStringList kinds = {"Player", "Staff",   "Club",    "Nation",
                                              "City",   "Stadium", "Official"};
            const auto kind = kx3::EditorScreen(kinds.indexOf(w[1]));
            const int index = w[1] == QLatin1String("Player") ? find(w[2]) : w[2].toInt();
            QVERIFY2(index >= 0, qPrintable(step));
            mForm->openRecord(kind, kx3::recordOffset(kind, index));
        } else if (w[0] == QLatin1String("yes") || w[0] == QLatin1String("no")) {
            mPrompter->queue(w[0] == QLatin1String("yes"));
        } else if (w[0] == QLatin1String("click")) {
            if (auto *b = qobject_cast<QAbstractButton *>(usable(w[1])))
                QTest::mouseClick(b, Qt::LeftButton);
        } else if (w[0] == QLatin1String("type")) {
            if (auto *box = qobject_cast<QLineEdit *>(usable(w[1])))
                box->setText(rest);
        } else if (w[0] == QLatin1String("choose")) {
            if (auto *list = qobject_cast<QComboBox *>(usable(w[1])))
                list->setCurrentIndex(w[2].toInt());
        } else if (w[0] == QLatin1String("undo") || w[0] == QLatin1String("redo")) {
            w[0] == QLatin1String("undo") ? mForm->undoClick() : mForm->redoClick();
        } else if (w[0] == QLatin1String("mark")) {
            mark.emplace(db);
        } else if (w[0] == QLatin1String("steps")) {
            QVERIFY2(db.history().undoCount() == w[1].toInt(),
                     qPrintable(step + u'\n' + mPrompter->texts().join(u'\n')));
        } else if (w[0] == QLatin1String("editor")) {
            QCOMPARE(mForm->editorFrame()->currentEditorPanel()->objectName(), w[1]);
        } else if (w[0] == QLatin1String("elsewhere")) {
            kx3::CityRecord city = *kx3::city(db, w[1].toInt());
            city.setAttraction((city.attraction() + 1) % 20);
            QVERIFY(mForm->document().commitStep(QStringLiteral("Elsewhere")));
        } else if (w[0] == QLatin1String("damage")) {
            QVERIFY(kx3::club(db, 0)->setPositionSlot(0, kx3::personCount(db) + 5));
            QVERIFY(mForm->document().commitStep(QStringLiteral("Damage")));
        } else if (w[0] == QLatin1String("said")) {
            QVERIFY2(mPrompter->texts().last().startsWith(w.mid(1).join(u' ')), qPrintable(step));
        } else if (w[0] == QLatin1String("history")) {
            mForm->historyController().moveTo(w[1].toInt());
        } else if (w[0] == QLatin1String("front")) {
            mForm->showEditor();
        } else if (w[0] == QLatin1String("edits")) {
            auto *screen =
                qobject_cast<kx3::RecordScreen *>(mForm->editorFrame()->currentEditorPanel());
            QCOMPARE(screen && screen->hasUnconfirmedEdits(), w[1] == QLatin1String("1"));
        } else if (w[0] == QLatin1String("box")) {
            QCOMPARE(mForm->findChild<QLineEdit *>(w[1])->text(), rest);
        }
        QCoreApplication::processEvents();
    }
    KX3_VERIFY_SOUND(db, mForm->lookups());
    QVERIFY(!mark || mark->sameAs(db));
}

// Another editor holds the installation: opened read-only, nothing offers a
// change and nothing reaches the files.
void TestTMainForm::lockedInstallationOpensReadOnly()
{
    mInstall = std::make_unique<kx3::test::TestInstallation>();
    QLockFile other(mInstall->path() + QStringLiteral("/Data/.kx3edit.lock"));
    QVERIFY(other.tryLock(0));
    const QByteArray club = readFile(mInstall->filePath(DataFile::Club));
    startForm(std::nullopt, std::nullopt, mInstall->path());
    mPrompter->queue(true);
    click("bnBegin");
    QVERIFY(mPrompter->texts().at(0).contains(QStringLiteral("Open it read-only?")));
    // The title names the installation once, and the program once.
    QCOMPARE(mForm->windowTitle(),
             QDir::toNativeSeparators(mInstall->path())
                 + QStringLiteral(" \u2014 KX3 Pre-Data Editor (read-only)"));
    QVERIFY(!button("bnApplyPatch")->isEnabled());

    mForm->openRecord(kx3::EditorScreen::Club, 0);
    for (const char *name : {"bnSave", "ConfirmClub", "bnCreateNew", "bnDelete", "bnCMisc"})
        QVERIFY2(!mForm->findChild<QAbstractButton *>(QLatin1String(name))->isEnabled(), name);
    mForm->findChild<QLineEdit *>(QStringLiteral("CLongName"))->setText(QStringLiteral("X"));
    QTest::keyClick(mForm.get(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(mForm.get(), Qt::Key_S, Qt::ControlModifier);
    auto *screen = qobject_cast<kx3::RecordScreen *>(mForm->editorFrame()->currentEditorPanel());
    QVERIFY(!screen->confirm());
    // Leaving drops the edit without offering to apply it, and closing asks nothing.
    click("bnSearch");
    mForm->close();
    QVERIFY(!mForm->isVisible());
    QCOMPARE(mPrompter->texts().size(), 1);
    QVERIFY(!mForm->database().isModified());
    QCOMPARE(readFile(mInstall->filePath(DataFile::Club)), club);
}

void TestTMainForm::saveAsksWhenFilesChangedOnDisk_data()
{
    QTest::addColumn<bool>("closing"); // by the window, not "Save To Disk"
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("Save To Disk, No") << false << false;
    QTest::newRow("Save To Disk, Yes") << false << true;
    QTest::newRow("closing, No") << true << false;
}

void TestTMainForm::saveAsksWhenFilesChangedOnDisk()
{
    QFETCH(bool, closing);
    QFETCH(bool, overwrite);
    QVERIFY(startEditing());
    changeData();
    const QString club = mForm->database().filePath(DataFile::Club);
    QVERIFY(kx3::test::writeFile(club, readFile(club) + 'x'));
    mForm->showEditor();
    mPrompter->queue(true);
    mPrompter->queue(overwrite);
    closing ? void(mForm->close()) : click("bnSave");
    QCOMPARE(mPrompter->texts().size(), 2);
    QVERIFY(mPrompter->texts().at(1).contains(QFileInfo(club).fileName()));
    QCOMPARE(savedByte(), overwrite ? char(0x5a) : '\0');
    QCOMPARE(readFile(club).endsWith('x'), !overwrite);
    QCOMPARE(mForm->database().isModified(), !overwrite);
    // A save not made keeps the window and its changes.
    QVERIFY(mForm->isVisible());
}

KX3_GUI_TEST_MAIN(TestTMainForm)
#include "tst_TMainForm.moc"
