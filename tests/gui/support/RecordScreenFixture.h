#pragma once

#include "ScriptedPrompter.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/PickList.h"
#include "gui/screen/RecordScreen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace kx3::test {

/// One record screen on a generated database, typed into and clicked like a
/// user does, its message boxes answered by a script.
template <typename Screen>
class RecordScreenFixture
{
public:
    void setUpInstallation(BuilderOptions options = {})
    {
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
        mDoc = std::make_unique<Document>(*mDb, mLookups);
        mContext = std::make_unique<ScreenContext>(
            ScreenContext{*mDb, mLookups, mState, mPrompter, *mDoc});
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
    /// Shows record `index` of the screen's kind.
    void open(int index)
    {
        mState.offset(mScreen->kind()) = recordOffset(mScreen->kind(), index);
        QVERIFY(mScreen->showRecord());
    }

    /// Record `index` is titled `stored`; the title follows every keystroke
    /// in `nameBox`, not only a finished edit.
    void checkLiveTitle(int index, const QString &stored, const char *nameBox)
    {
        QSignalSpy titles(mScreen.get(), &RecordScreen::titleChanged);
        open(index);
        QCOMPARE(titles.last().first().toString(), stored);
        titles.clear();
        type(nameBox, QStringLiteral("Ab"));
        QStringList seen;
        for (const QList<QVariant> &signal : std::as_const(titles))
            seen.append(signal.first().toString());
        QVERIFY2(seen.contains("A") && seen.value(seen.size() - 1) == "Ab",
                 qPrintable(seen.join('|')));
        QCOMPARE(mScreen->title(), QStringLiteral("Ab"));
    }

    /// "Create" on record `index`: answered No, it leaves the record shown;
    /// answered Yes, it enters new-record mode.
    void beginCreate(int index)
    {
        mScreen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
        open(index);
        const QString shown = mScreen->title();
        mPrompter.queue(false);
        mScreen->beginNewRecord();
        QCOMPARE(mPrompter.texts(), QStringList{QStringLiteral("Are you sure?")});
        QVERIFY(!mState.newRecordMode);
        QCOMPARE(mScreen->title(), shown);
        mPrompter.queue(true);
        mScreen->beginNewRecord();
        QVERIFY(mState.newRecordMode);
    }

    /// A confirm refused because of `box` holding `text` (on record 1, or on a
    /// new record when `creating`): the error reads `message`, the box has the
    /// focus, and neither the kind's image nor its pick list changed.
    void checkRefusal(bool creating, const char *nameBox, const char *box, const QString &text,
                      const char *confirmButton, const QString &message, DataFile file,
                      const PickList &pickList)
    {
        mScreen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
        open(1);
        if (creating) {
            mPrompter.queue(true);
            mScreen->beginNewRecord();
        }
        type(nameBox, QStringLiteral("Renamed"));
        type(box, text);
        w(nameBox)->setFocus();
        const QByteArray image = mDb->image(file).bytes();
        const QList<QByteArray> entries = pickList.entries();
        click(confirmButton);
        QCOMPARE(mPrompter.errors(), QStringList{message});
        QCOMPARE(QApplication::focusWidget(), w(box));
        QCOMPARE(mDb->image(file).bytes(), image);
        QCOMPARE(pickList.entries(), entries);
        QVERIFY(!mDb->isModified());
        QCOMPARE(mState.newRecordMode, creating);
    }

    std::unique_ptr<TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
    EditorState mState;
    ScriptedPrompter mPrompter;
    std::unique_ptr<Document> mDoc;
    std::unique_ptr<ScreenContext> mContext;
    std::unique_ptr<Screen> mScreen;
    /// Every record the screen asked to open, in order.
    QList<std::pair<EditorScreen, qint64>> mRequests;
};

} // namespace kx3::test
