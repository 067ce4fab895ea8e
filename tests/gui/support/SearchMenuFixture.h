#pragma once

#include "MainFormFixture.h"
#include "ScriptedPrompter.h"
#include "SmallWorld.h"

#include "gui/app/SearchMenuModes.h"
#include "gui/app/TMainForm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace kx3::test {

/// The records of the search menu tests, by index.
enum SearchPerson { Donald, Ronald, Gerald, Peter, Xavier, Emile };
enum SearchClub { ManUtd, Rangers, Aldershot, EnglandTeam, ScotlandTeam, EnglandU21, ScotlandU21 };

inline qint64 personAt(int index)
{
    return qint64(index) * RecordSize::Person;
}

inline qint64 clubAt(int index)
{
    return qint64(index) * RecordSize::Club;
}

/// A main window past "Begin Editing" over a few named records, and the
/// moves of a user on its search menus.
class SearchMenuFixture : public QObject
{
protected:
    void setUpWindow()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // The sort order of the lists must not depend on the machine's language.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void setUpForm()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY(mDir->isValid());
        const QString game = mDir->filePath(QStringLiteral("game"));
        writeEmptyInstallation(game);

        auto prompter = std::make_unique<ScriptedPrompter>();
        mPrompter = prompter.get();
        mForm =
            std::make_unique<TMainForm>(std::make_unique<FakeSource>(), game, std::move(prompter));
        mForm->show();
        QVERIFY(QTest::qWaitForWindowActive(mForm.get()));
        click(QStringLiteral("bnBegin"));
        QCOMPARE(panelName(), QStringLiteral("pnSearch1"));

        Database &db = mForm->database();
        SmallWorld world(db);
        const int england = world.addNation("England", "England");
        const int scotland = world.addNation("Scotland", "Scotland");
        world.addPerson("Donald", "Smith", "", 2, england);
        world.addPerson("Ronald", "ALDRIDGE", "", 1, england);
        world.addPerson("Gerald", "Baldwin", "", 3, scotland);
        world.addPerson("Peter", "Jones", "Aldo", 4, england);
        world.addPerson("Xavier", "Nobody", "", 0, england);
        world.addPerson("\xC9mile", "Mertens", "", 2, -2);
        world.addClub("Manchester Utd", "Man Utd", england);
        world.addClub("Glasgow Rangers", "Rangers", scotland);
        world.addClub("Aldershot Town", "Aldershot", england);
        // The second half of the national teams are the under-21 teams.
        world.addNationalTeam("England", "England", england);
        world.addNationalTeam("Scotland", "Scotland", scotland);
        world.addNationalTeam("England", "England", england);
        world.addNationalTeam("Scotland", "Scotland", scotland);
        world.addOfficial("Pierre", "Taylor", england);
        world.addOfficial("Anna", "Schmidt", -1);
        const int london = world.addCity("London", england);
        const int glasgow = world.addCity("Glasgow", scotland);
        world.addStadium("Wembley", london);
        world.addStadium("Hampden Park", glasgow);
        world.finish();
        mForm->lookups().build(db);
    }

    void tearDownForm()
    {
        if (mPrompter)
            QCOMPARE(mPrompter->pendingAnswers(), 0);
        mForm.reset();
        mPrompter = nullptr;
        mDir.reset();
    }

    template <typename T>
    T *widget(const QString &name) const
    {
        T *w = mForm->findChild<T *>(name);
        if (!w)
            qWarning("no widget %s", qPrintable(name));
        return w;
    }
    QPushButton *button(const QString &name) const { return widget<QPushButton>(name); }
    QTreeView *list(const QString &name) const { return widget<QTreeView>(name); }
    void click(const QString &name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b && b->isVisible() && b->isEnabled(), qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QString panelName() const { return mForm->currentPanel()->objectName(); }
    QString title() const { return widget<QLabel>(QStringLiteral("pn2"))->text(); }
    void showMenu2() { click(QStringLiteral("bnSearchP2")); }
    SearchMenuModes *modes() const { return mForm->searchModes(); }

    QStringList rows(const QString &listName) const
    {
        const QAbstractItemModel *model = list(listName)->model();
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    /// Types `text` into a search box and presses its "Begin Search".
    void runSearch(const QString &box, const QString &searchButton, const QString &text)
    {
        QLineEdit *edit = widget<QLineEdit>(box);
        QVERIFY(edit);
        edit->clear();
        edit->insert(text); // as if pasted: Qt Test can type ASCII keys only
        QCOMPARE(edit->text(), text);
        click(searchButton);
    }

    /// Clicks the row showing `name`.
    void select(const QString &listName, const QString &name)
    {
        QTreeView *view = list(listName);
        const int row = int(rows(listName).indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    }

    /// Selects the row showing `name` and double-clicks it.
    void doubleClick(const QString &listName, const QString &name)
    {
        select(listName, name);
        QTreeView *view = list(listName);
        const QModelIndex index = view->selectionModel()->selectedRows().first();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }

    qint32 personSlot(int person, int slot) const
    {
        return mForm->database().image(DataFile::Staff).i32(personAt(person) + 97 + 4 * slot);
    }
    qint32 clubSlot(int club, int slot) const
    {
        return mForm->database().clubs().i32(clubAt(club) + 155 + 4 * slot);
    }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TMainForm> mForm;
    ScriptedPrompter *mPrompter = nullptr;
};

} // namespace kx3::test
