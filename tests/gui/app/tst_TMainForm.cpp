#include "app/EditorFrame.h"
#include "app/SearchMenuModes.h"
#include "app/SplashScreen.h"
#include "app/TMainForm.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "SaveFaults.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using kx3::DataFile;
using kx3::Edition;
using kx3::Prompter;
using kx3::TMainForm;
using kx3::test::ScriptedPrompter;
using Answer = kx3::Prompter::Answer;

namespace {

using kx3::test::FakeSource;

void writeInstallation(const QString &dir)
{
    kx3::test::writeEmptyInstallation(dir);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString NotInstalled =
    QStringLiteral("Kickora 3 is not installed in this directory.\n\n"
                   "Please make sure that you run this editor from KX3 main directory.");
const QString SaveQuestion = QStringLiteral("Data has been modified. Save Changes?");

} // namespace

class TestTMainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowShape();
    void captionsFit();
    void startButtons_data();
    void startButtons();
    void notInstalledEnds();
    void startEditingLoadsChosenFolder_data();
    void startEditingLoadsChosenFolder();
    void loadFailureKeepsSplash();
    void splashExitCloses();
    void searchMenusAndLeaveButtons();
    void exitBeforeFirstSearchEnds_data();
    void exitBeforeFirstSearchEnds();
    void searchResetsMainMenu();
    void searchReturnsToLastMenuUsed();
    void editorScreenPlugsIn();
    void saveToDisk_data();
    void saveToDisk();
    void failedSaveKeepsFlag();
    void closingWithChanges_data();
    void closingWithChanges();
    void closingWithoutChangesAsksNothing();
    void failedSaveOnExitKeepsWindowOpen();

private:
    /// A window over the given installations, shown and through its start-up.
    TMainForm *startForm(std::optional<QString> kx3, std::optional<QString> kx9900,
                         const QString &currentDir);
    /// startForm on one installation, then "Begin Editing" on it.
    TMainForm *startEditing();
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
    QString path(const QString &relative) const { return mDir->filePath(relative); }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TMainForm> mForm;
    ScriptedPrompter *mPrompter = nullptr;
};

void TestTMainForm::initTestCase()
{
    // Each test closes its window; that must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

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
    mPrompter = nullptr;
    mDir.reset();
}

TMainForm *TestTMainForm::startForm(std::optional<QString> kx3, std::optional<QString> kx9900,
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
    return mForm.get();
}

TMainForm *TestTMainForm::startEditing()
{
    const QString game = path(QStringLiteral("game"));
    writeInstallation(game);
    startForm(std::nullopt, std::nullopt, game);
    click("bnBegin");
    if (!mForm->database().isLoaded())
        return nullptr;
    return mForm.get();
}

void TestTMainForm::windowShape()
{
    startForm(std::nullopt, QStringLiteral("/nowhere"), QString());
    QCOMPARE(mForm->windowTitle(), QStringLiteral("KX3 Pre-Data Editor"));
    QCOMPARE(mForm->size(), QSize(609, 474));
    QCOMPARE(mForm->minimumSize(), mForm->maximumSize());
    QVERIFY(!mForm->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(mForm->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QCOMPARE(panelName(), QStringLiteral("pnSplash"));
    QCOMPARE(mForm->focusWidget(), button("Exit1"));
    QVERIFY(mForm->splashScreen()->isAnimating());
    QVERIFY(mPrompter->texts().isEmpty());
    // Nation lists open wider than their boxes, so long names can be read.
    for (const char *name : {"PNation", "PSecNation", "SNation", "SSecNation", "SNatTeam"}) {
        auto *box = mForm->findChild<QComboBox *>(QLatin1String(name));
        QVERIFY2(box, name);
        QVERIFY2(box->view()->minimumWidth() >= 152, name);
    }
}

// The window never grows, so a caption that does not fit would be cut off.
void TestTMainForm::captionsFit()
{
    startForm(QStringLiteral("/somewhere"), std::nullopt, QString());
    const auto buttons = mForm->findChildren<QPushButton *>();
    QVERIFY(buttons.size() >= 13);
    for (const QPushButton *b : buttons) {
        const int needed = b->fontMetrics().horizontalAdvance(b->text()) + 8;
        QVERIFY2(needed <= b->width(), qPrintable(b->objectName()));
        const QWidget *panel = b->parentWidget();
        QVERIFY2(panel->rect().contains(b->geometry()), qPrintable(b->objectName()));
    }
}

void TestTMainForm::startButtons_data()
{
    QTest::addColumn<bool>("kx3");
    QTest::addColumn<bool>("kx9900");
    QTest::addColumn<bool>("gameInCurrentFolder");
    QTest::addColumn<bool>("kx3Enabled");
    QTest::addColumn<bool>("kx9900Enabled");
    QTest::addColumn<bool>("fallback");

    QTest::newRow("only 99/00") << false << true << true << false << true << false;
    QTest::newRow("only 3") << true << false << false << true << false << false;
    QTest::newRow("both") << true << true << false << true << true << false;
    QTest::newRow("neither, game here") << false << false << true << false << false << true;
}

void TestTMainForm::startButtons()
{
    QFETCH(bool, kx3);
    QFETCH(bool, kx9900);
    QFETCH(bool, gameInCurrentFolder);
    QFETCH(bool, kx3Enabled);
    QFETCH(bool, kx9900Enabled);
    QFETCH(bool, fallback);

    const QString here = path(QStringLiteral("here"));
    QVERIFY(QDir().mkpath(here));
    if (gameInCurrentFolder)
        writeInstallation(here);
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
        QCOMPARE(button("bnBeginKX3")->isEnabled(), kx3Enabled);
        QCOMPARE(button("bnBeginKX9900")->isEnabled(), kx9900Enabled);
        QCOMPARE(button("bnBeginKX3")->text(), QStringLiteral(" Kickora 3"));
    }
    QVERIFY(button("Exit1")->isVisible());
    QVERIFY(mForm->splashScreen()->isAnimating());
}

void TestTMainForm::notInstalledEnds()
{
    const QString empty = path(QStringLiteral("empty"));
    QVERIFY(QDir().mkpath(empty + QStringLiteral("/Data")));
    startForm(std::nullopt, std::nullopt, empty);
    QCOMPARE(mPrompter->texts(), QStringList{NotInstalled});
    QVERIFY(!mForm->isVisible());
    QCOMPARE(panelName(), QStringLiteral("pnSplash"));
    QVERIFY(!mForm->splashScreen()->isAnimating());
}

void TestTMainForm::startEditingLoadsChosenFolder_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("registered");
    QTest::newRow("Kickora 3") << "bnBeginKX3"
                               << "kx3" << true;
    QTest::newRow("Kickora 99/00") << "bnBeginKX9900"
                                   << "kx9900" << true;
    QTest::newRow("current folder") << "bnBegin"
                                    << "kx3" << false;
}

void TestTMainForm::startEditingLoadsChosenFolder()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, folder);
    QFETCH(bool, registered);
    const QString kx3 = path(QStringLiteral("kx3"));
    const QString kx9900 = path(QStringLiteral("kx9900"));
    writeInstallation(kx3);
    writeInstallation(kx9900);
    if (registered)
        startForm(kx3, kx9900, kx9900);
    else
        startForm(std::nullopt, std::nullopt, kx3);
    mForm->database().setModified(true); // the load must start from a clean flag

    click(buttonName.toLatin1().constData());
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(mForm->database().isLoaded());
    QCOMPARE(mForm->dataDirectory(), path(folder));
    QCOMPARE(mForm->database().installDir(), path(folder));
    QVERIFY(!mForm->database().isModified());
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(mForm->searchMarker(), 1);
    QCOMPARE(mForm->focusWidget()->objectName(), QStringLiteral("PSearch"));
    QVERIFY(!mForm->splashScreen()->isAnimating());
    for (const char *overlay : {"OrboEye", "OrboEye2"})
        QVERIFY(mForm->findChild<QLabel *>(QLatin1String(overlay))->isHidden());
    QCOMPARE(mForm->findChild<QLineEdit *>(QStringLiteral("PSearch"))->maxLength(), 30);
}

void TestTMainForm::loadFailureKeepsSplash()
{
    const QString game = path(QStringLiteral("game"));
    writeInstallation(game);
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
    writeInstallation(game);
    click("bnBeginKX3");
    QVERIFY(mForm->database().isLoaded());
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
}

void TestTMainForm::splashExitCloses()
{
    startForm(QStringLiteral("/somewhere"), std::nullopt, QString());
    click("Exit1");
    QVERIFY(!mForm->isVisible());
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestTMainForm::searchMenusAndLeaveButtons()
{
    QVERIFY(startEditing());
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Exit"));
    QCOMPARE(button("Exit4")->text(), QStringLiteral("Exit"));

    click("bnSearchP2");
    QCOMPARE(panelName(), QStringLiteral("pnSearch2"));
    QCOMPARE(mForm->searchMarker(), 2);
    QCOMPARE(mForm->focusWidget()->objectName(), QStringLiteral("OSearch"));

    // Back in the editor, "Search" returns to the menu used last, and both
    // leave buttons now return to the editor instead of ending the program.
    mForm->showEditor();
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch2"));
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QCOMPARE(button("Exit4")->text(), QStringLiteral("Cancel"));
    click("Exit4");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));

    click("bnSearch");
    click("bnSearchP1");
    QCOMPARE(mForm->searchMarker(), 1);
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(mForm->focusWidget()->objectName(), QStringLiteral("PSearch"));
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QVERIFY(mForm->isVisible());
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestTMainForm::exitBeforeFirstSearchEnds_data()
{
    QTest::addColumn<QString>("exitButton");
    QTest::newRow("main menu") << "Exit2";
    QTest::newRow("miscellaneous menu") << "Exit4";
}

// Until the user has been in the editor, the search menus' "Exit" ends the
// program at once; the data cannot have changed yet.
void TestTMainForm::exitBeforeFirstSearchEnds()
{
    QFETCH(QString, exitButton);
    QVERIFY(startEditing());
    if (exitButton == QLatin1String("Exit4"))
        click("bnSearchP2");
    click(exitButton.toLatin1().constData());
    QVERIFY(!mForm->isVisible());
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestTMainForm::searchResetsMainMenu()
{
    QVERIFY(startEditing());
    mForm->showEditor();
    // A club slot of the misc-list dialog hides the person groups, and an
    // unconfirmed "Create" is pending.
    QVERIFY(mForm->searchModes()->openMiscListDialog(kx3::MiscListSource::Player, 0));
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
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
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QCOMPARE(button("Exit4")->text(), QStringLiteral("Cancel"));
    QCOMPARE(mForm->focusWidget()->objectName(), QStringLiteral("PSearch"));
}

void TestTMainForm::searchReturnsToLastMenuUsed()
{
    QVERIFY(startEditing());
    click("bnSearchP2");
    mForm->openRecord(kx3::EditorScreen::Nation, 0);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch2"));
    QCOMPARE(mForm->focusWidget()->objectName(), QStringLiteral("OSearch"));
    click("bnSearchP1");
    mForm->openRecord(kx3::EditorScreen::Player, 0);
    click("bnSearch");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
}

// The record editors come later; until one is installed the title alone
// shows the record that was opened.
void TestTMainForm::editorScreenPlugsIn()
{
    QVERIFY(startEditing());
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnStad"));
    qint64 shown = -1;
    mForm->setEditorScreen(kx3::EditorScreen::Stadium, panel,
                           [&] { shown = mForm->editorState().stadiumOffset; });
    mForm->editorState().newRecordMode = true;
    mForm->openRecord(kx3::EditorScreen::Stadium, 156);
    QCOMPARE(shown, 156);
    QVERIFY(!mForm->editorState().newRecordMode);
    QCOMPARE(mForm->editorFrame()->currentEditorPanel(), panel);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
}

void TestTMainForm::saveToDisk_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestTMainForm::saveToDisk()
{
    QFETCH(bool, yes);
    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    const QString toc = db.filePath(DataFile::Index);
    const QByteArray before = readFile(toc);
    QVERIFY(db.image(DataFile::Index).setU8(0, 0x5a));
    db.setModified(true);

    mForm->showEditor();
    mPrompter->queue(yes);
    click("bnSave");
    QCOMPARE(mPrompter->texts(), QStringList{QStringLiteral("Are you sure?")});
    QCOMPARE(db.isModified(), !yes);
    QCOMPARE(readFile(toc).at(0), yes ? char(0x5a) : before.at(0));
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
}

void TestTMainForm::failedSaveKeepsFlag()
{
    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    kx3::test::FailAtStep fault(kx3::test::FailAtStep::Stage::Write, 0);
    db.setSaveFaultInjector(&fault);
    const QString toc = db.filePath(DataFile::Index);
    QVERIFY(db.image(DataFile::Index).setU8(0, 0x5a));
    db.setModified(true);

    mForm->showEditor();
    mPrompter->queue(true);
    click("bnSave");
    db.setSaveFaultInjector(nullptr);
    const QString failed = QDir::toNativeSeparators(db.filePath(DataFile::Club));
    QCOMPARE(mPrompter->texts(), (QStringList{QStringLiteral("Are you sure?"),
                                              QStringLiteral("Cannot create file ") + failed}));
    QVERIFY(db.isModified());
    QCOMPARE(readFile(toc).at(0), '\0');
}

void TestTMainForm::closingWithChanges_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");

    for (const char *how : {"Exit3", "window", "Exit2"}) {
        const QByteArray h(how);
        QTest::newRow(h + " Yes") << QString::fromLatin1(how) << Answer::Yes << true << true;
        QTest::newRow(h + " No") << QString::fromLatin1(how) << Answer::No << true << false;
        QTest::newRow(h + " Cancel")
            << QString::fromLatin1(how) << Answer::Cancel << false << false;
    }
}

// Whatever ends the program, unsaved changes are offered for saving first.
void TestTMainForm::closingWithChanges()
{
    QFETCH(QString, how);
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);

    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    const QString toc = db.filePath(DataFile::Index);
    QVERIFY(db.image(DataFile::Index).setU8(0, 0x5a));
    db.setModified(true);

    mPrompter->queue(answer);
    if (how == QLatin1String("Exit3")) {
        mForm->showEditor();
        click("Exit3");
    } else if (how == QLatin1String("Exit2")) {
        click("Exit2");
    } else {
        mForm->close();
    }
    QCOMPARE(mPrompter->texts(), QStringList{SaveQuestion});
    QCOMPARE(!mForm->isVisible(), closed);
    QCOMPARE(readFile(toc).at(0), saved ? char(0x5a) : '\0');
    QCOMPARE(db.isModified(), !saved);
}

void TestTMainForm::closingWithoutChangesAsksNothing()
{
    QVERIFY(startEditing());
    mForm->showEditor();
    click("Exit3");
    QVERIFY(!mForm->isVisible());
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestTMainForm::failedSaveOnExitKeepsWindowOpen()
{
    QVERIFY(startEditing());
    kx3::Database &db = mForm->database();
    kx3::test::FailAtStep fault(kx3::test::FailAtStep::Stage::Replace, 3);
    db.setSaveFaultInjector(&fault);
    db.setModified(true);

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

KX3_GUI_TEST_MAIN(TestTMainForm)
#include "tst_TMainForm.moc"
