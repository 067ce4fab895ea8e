#pragma once

#include "RecordScreenFixture.h"
#include "RecordsTestSupport.h"

#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/people/Transfers.h"

#include <QRegularExpression>

#include <functional>

namespace kx3::test {

/// One person screen on a generated database of 240 persons.
template <typename Screen>
class PersonScreenFixture : public RecordScreenFixture<Screen>
{
    using Base = RecordScreenFixture<Screen>;

public:
    using Base::click;
    using Base::mDb;
    using Base::mPrompter;
    using Base::mScreen;
    using Base::mState;
    using Base::type;
    using Base::w;

    void setUpInstallation(BuilderOptions options = {})
    {
        options.persons = 240;
        Base::setUpInstallation(options);
    }

    using Base::open;
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
        mDb->clearHistory();
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
        this->template w<QTabWidget>(tabs)->setCurrentIndex(tab == 0 ? 1 : 0);
        const PersonImages before = images();
        QVERIFY(!mScreen->confirm());
        QCOMPARE(mPrompter.errors(), QStringList{message});
        // Below it, the box and what it holds: the same as the message says.
        const QRegularExpression says(
            QStringLiteral("as (.+): it must be between (\\S+) and (\\d+)"));
        if (const QRegularExpressionMatch m = says.match(message); m.hasMatch())
            QCOMPARE(mPrompter.lastDetail(),
                     QStringLiteral("%1: a whole number from %2 to %3")
                         .arg(m.captured(1), m.captured(2), m.captured(3)));
        else
            QVERIFY(!mPrompter.lastDetail().isEmpty());
        QCOMPARE(this->template w<QTabWidget>(tabs)->currentIndex(), tab);
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
};

} // namespace kx3::test
