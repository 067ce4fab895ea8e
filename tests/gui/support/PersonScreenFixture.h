#pragma once

#include "RecordsTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestDatabase.h"

#include "core/clubs/Transfers.h"
#include "core/db/Database.h"
#include "core/db/Lookups.h"
#include "core/people/CodeLists.h"
#include "core/people/PersonRecord.h"
#include "gui/app/RecordScreen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>

namespace kx3::test {

/// One person screen on a generated database of 240 persons, typed into and
/// clicked like a user does, its message boxes answered by a script.
template <typename Screen>
class PersonScreenFixture
{
public:
    void setUpInstallation(BuilderOptions options = {})
    {
        options.persons = 240;
        mInstall = std::make_unique<TestInstallation>(options);
        QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
    }
    void setUpScreen()
    {
        mScreen.reset();
        mDb = std::make_unique<Database>();
        QVERIFY(mInstall->loadInto(*mDb));
        mLookups = Lookups();
        mLookups.build(*mDb, QLocale(QLocale::English, QLocale::UnitedStates));
        mState = EditorState();
        mPrompter.clear();
        mContext =
            std::make_unique<ScreenContext>(ScreenContext{*mDb, mLookups, mState, mPrompter});
        mScreen = std::make_unique<Screen>(*mContext);
        mRequests.clear();
        QObject::connect(mScreen.get(), &RecordScreen::recordRequested,
                         [this](EditorScreen kind, qint64 offset) {
                             mRequests.append({kind, offset});
                         });
        mScreen->show();
    }
    void tearDownScreen()
    {
        QCOMPARE(mPrompter.pendingAnswers(), 0);
        mScreen.reset();
    }

    template <typename T = QLineEdit>
    T *w(const char *name) const
    {
        T *found = mScreen->template findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    /// Replaces a box's text by typing, as a user does.
    void type(const char *name, const QString &text) const
    {
        QLineEdit *box = w(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(box, char(ch.unicode()));
            } else { // Qt Test types ASCII only
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(box, &press);
            }
        }
        QCOMPARE(box->text(), text);
    }
    void click(const char *name) const
    {
        auto *b = w<QAbstractButton>(name);
        QVERIFY2(b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void open(int index)
    {
        mState.personOffset = personOffset(index);
        QVERIFY(mScreen->showRecord());
    }
    /// The `skip`-th person `pred` accepts (from 0).
    int find(const std::function<bool(const PersonRecord &)> &pred, int skip = 0)
    {
        for (int i = 0; i < personCount(*mDb); ++i) {
            if (pred(rec(i)) && skip-- == 0)
                return i;
        }
        qFatal("the fixture has no such person");
        return -1;
    }
    /// A person `pred` accepts, released from his club.
    int freePerson(const std::function<bool(const PersonRecord &)> &pred)
    {
        const int i = find(pred);
        if (rec(i).club() >= 0)
            releasePerson(*mDb, i);
        mDb->setModified(false);
        return i;
    }
    PersonRecord rec(int index) { return *person(*mDb, index); }
    PersonImages images() const { return PersonImages::of(*mDb); }

    /// Columns of refusalFocusesTheBox: a box, its text, the tab it is on and
    /// the warning the confirm must give.
    static void refusalColumns()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("message");
    }
    static void refusalRow(const char *box, const char *typed, int tab, const char *message)
    {
        QTest::newRow(box) << QString::fromLatin1(box) << QString::fromLatin1(typed) << tab
                           << QString::fromUtf8(message);
    }
    /// A number its field cannot hold stops the confirm: a warning names it,
    /// its box gets the focus on its tab, and nothing is written.
    void checkRefusal(int person, const char *tabs)
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, tab);
        QFETCH(QString, message);
        mScreen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
        open(person);
        const QByteArray name = box.toLatin1();
        type(name.constData(), typed);
        w<QTabWidget>(tabs)->setCurrentIndex(tab == 0 ? 1 : 0);
        const PersonImages before = images();
        QVERIFY(!mScreen->confirm());
        QCOMPARE(mPrompter.errors(), QStringList{message});
        QCOMPARE(w<QTabWidget>(tabs)->currentIndex(), tab);
        QCOMPARE(QApplication::focusWidget(), w(name.constData()));
        QCOMPARE(images(), before);
        QVERIFY(!mDb->isModified());
    }

    /// Every person of the screen's kind, shown and confirmed unchanged, keeps
    /// his bytes but for the re-encodings of a confirm; nothing else changes.
    void confirmEveryPersonUnchanged()
    {
        const bool staff = mScreen->kind() == EditorScreen::Staff;
        int checked = 0;
        for (int i = 0; i < personCount(*mDb); ++i) {
            const int cls = rec(i).classification();
            if (staff ? !Classification::hasStaffAttributes(cls)
                      : !Classification::hasPlayerAttributes(cls))
                continue;
            PersonImages want = images();
            want.staff = staffAfterUnchangedConfirm(*mDb, i, staff);
            open(i);
            QVERIFY(mScreen->confirm());
            QCOMPARE(images(), want);
            ++checked;
        }
        QVERIFY(checked > 20);
        QVERIFY(mPrompter.texts().isEmpty());
    }

    std::unique_ptr<TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
    EditorState mState;
    ScriptedPrompter mPrompter;
    std::unique_ptr<ScreenContext> mContext;
    std::unique_ptr<Screen> mScreen;
    /// Every record the screen asked to open, in order.
    QList<std::pair<EditorScreen, qint64>> mRequests;
};

} // namespace kx3::test
