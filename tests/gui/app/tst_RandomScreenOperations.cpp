// Random use of every record screen: records shown, boxes typed into, lists
// chosen from, boxes ticked, buttons pressed and questions answered at random,
// then a confirm. After each step the integrity check must find no error, a
// refused confirm must have changed nothing, and a record shown again and
// confirmed without an edit must keep every byte.
//
// A failure prints the steps that led to it; KX3_SEED=<seed> runs that seed
// alone.
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/records/IntegrityCheck.h"
#include "core/records/IntegrityCheckCounts.h"
#include "gui/clubs/ClubScreen.h"
#include "gui/nations/NationScreen.h"
#include "gui/people/PlayerScreen.h"
#include "gui/people/StaffScreen.h"
#include "gui/world/CityScreen.h"
#include "gui/world/OfficialScreen.h"
#include "gui/world/StadiumScreen.h"

#include "../support/OffscreenTestMain.h"
#include "../support/RandomPrompter.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>

using namespace kx3;

namespace {

constexpr int Steps = 400;
constexpr quint32 Seeds = 12;

/// Numbers at and past the edges of every field width, texts that are no
/// number, and pieces of dates.
QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces = {"0",
                                       "1",
                                       "-1",
                                       "20",
                                       "255",
                                       "256",
                                       "65535",
                                       "70000",
                                       "-32769",
                                       "2147483647",
                                       "x",
                                       "",
                                       " ",
                                       "1.5",
                                       "1e9",
                                       "Ab",
                                       QStringLiteral(u"\u00E9"),
                                       "99999999999",
                                       "31",
                                       "12",
                                       "1900"};
    QString text;
    for (int i = random.bounded(1, 3); i > 0; --i)
        text += pieces.at(random.bounded(int(pieces.size())));
    return text;
}

/// Number of records and record size of each screen's kind.
std::pair<int, int> records(const Database &db, EditorScreen kind)
{
    switch (kind) {
    case EditorScreen::Player:
    case EditorScreen::Staff: return {personCount(db), RecordSize::Person};
    case EditorScreen::Club:
        return {int(db.clubs().recordCount(RecordSize::Club)), RecordSize::Club};
    case EditorScreen::Nation: return {nationCount(db), RecordSize::Nation};
    case EditorScreen::City: return {cityCount(db), RecordSize::City};
    case EditorScreen::Stadium: return {stadiumCount(db), RecordSize::Stadium};
    case EditorScreen::Official: return {officialCount(db), RecordSize::Official};
    }
    return {0, 1};
}

QByteArray allImages(const Database &db)
{
    QByteArray all;
    for (DataFile f : AllDataFiles)
        all += db.image(f).bytes();
    return all + db.clubs().bytes() + db.setupLines().join('\n');
}

} // namespace

class tst_RandomScreenOperations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomUse_data();
    void randomUse();

private:
    /// Changes a few controls of `screen` at random; says which.
    static QString meddle(QWidget *screen, QRandomGenerator &random);
};

void tst_RandomScreenOperations::randomUse_data()
{
    QTest::addColumn<quint32>("seed");
    bool fixed = false;
    const quint32 chosen = qEnvironmentVariable("KX3_SEED").toUInt(&fixed);
    for (quint32 seed = fixed ? chosen : 1; seed <= (fixed ? chosen : Seeds); ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

QString tst_RandomScreenOperations::meddle(QWidget *screen, QRandomGenerator &random)
{
    QString done;
    const auto boxes = screen->findChildren<QLineEdit *>();
    const auto lists = screen->findChildren<QComboBox *>();
    const auto buttons = screen->findChildren<QAbstractButton *>();
    for (int change = random.bounded(1, 6); change > 0; --change) {
        const int what = random.bounded(3);
        if (what == 0 && !boxes.isEmpty()) {
            QLineEdit *box = boxes.at(random.bounded(int(boxes.size())));
            if (box->isEnabled() && !box->isReadOnly() && box->isVisibleTo(screen)) {
                const QString text = randomText(random);
                done += QStringLiteral(" %1='%2'").arg(box->objectName(), text);
                box->setText(text);
                Q_EMIT box->textEdited(text);
                Q_EMIT box->editingFinished();
            }
        } else if (what == 1 && !lists.isEmpty()) {
            QComboBox *list = lists.at(random.bounded(int(lists.size())));
            if (list->isEnabled() && list->count() > 0) {
                const int item = random.bounded(list->count());
                done += QStringLiteral(" %1#%2").arg(list->objectName()).arg(item);
                list->setCurrentIndex(item);
            }
        } else if (what == 2 && !buttons.isEmpty()) {
            // Check boxes, Make Perfect, history rows, go-to buttons; never a
            // confirm, which comes last.
            QAbstractButton *button = buttons.at(random.bounded(int(buttons.size())));
            if (button->isEnabled() && button->isVisibleTo(screen)
                && !button->objectName().startsWith(QLatin1String("Confirm"))) {
                done += QStringLiteral(" click %1").arg(button->objectName());
                button->click();
            }
        }
    }
    return done;
}

void tst_RandomScreenOperations::randomUse()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    BuilderOptions options;
    options.seed = seed;
    options.persons = 40 + int(seed % 200);
    const test::TestInstallation install(options);
    QVERIFY(install.isValid());
    Database db;
    QVERIFY(install.loadInto(db));
    Lookups lookups;
    lookups.build(db, QLocale(QLocale::English, QLocale::UnitedStates));
    EditorState state;
    test::RandomPrompter prompter(random);
    Document doc(db, lookups);
    ScreenContext context{db, lookups, state, prompter, doc};
    std::vector<std::unique_ptr<RecordScreen>> screens;
    screens.emplace_back(std::make_unique<PlayerScreen>(context));
    screens.emplace_back(std::make_unique<StaffScreen>(context));
    screens.emplace_back(std::make_unique<ClubScreen>(context));
    screens.emplace_back(std::make_unique<NationScreen>(context));
    screens.emplace_back(std::make_unique<CityScreen>(context));
    screens.emplace_back(std::make_unique<StadiumScreen>(context));
    screens.emplace_back(std::make_unique<OfficialScreen>(context));
    for (const auto &screen : screens) {
        QCOMPARE(int(screen->kind()), int(&screen - screens.data()));
        for (int k = 0; k < EditorScreenCount; ++k)
            screen->screenAdded(EditorScreen(k));
    }

    QStringList steps;
    CountState counts(db);
    const auto failure = [&](const QString &what) {
        return QStringLiteral("%1\n%2\nreplay: KX3_SEED=%3")
            .arg(steps.mid(qMax(0, int(steps.size()) - 12)).join('\n'), what)
            .arg(seed);
    };
    for (int step = 0; step < Steps; ++step) {
        const auto kind = EditorScreen(random.bounded(EditorScreenCount));
        RecordScreen *screen = screens[std::size_t(kind)].get();
        const auto [count, size] = records(db, kind);
        if (count == 0)
            continue;
        state.newRecordMode = false;
        const int shown = random.bounded(count);
        state.offset(kind) = qint64(shown) * size;
        QVERIFY(screen->showRecord());
        screen->show();
        steps.append(QStringLiteral("%1: screen %2, offset %3")
                         .arg(step)
                         .arg(int(kind))
                         .arg(state.offset(kind)));
        const int action = random.bounded(10);
        if (action == 0) {
            steps.last() += QStringLiteral(" delete");
            screen->deleteRecord();
        } else {
            if (action == 1) {
                steps.last() += QStringLiteral(" create");
                screen->beginNewRecord();
            }
            steps.last() += meddle(screen, random);
            const QByteArray before = allImages(db);
            const bool stored = screen->confirm();
            steps.last() += stored ? QStringLiteral(" stored") : QStringLiteral(" refused");
            if (!stored)
                QVERIFY2(allImages(db) == before, qPrintable(failure("a refusal changed data")));
        }
        const bool person = kind == EditorScreen::Player || kind == EditorScreen::Staff;
        const bool official = kind == EditorScreen::Official;
        CountStep touched;
        if (action == 0) {
            touched.deletedPerson = person ? shown : -1;
            touched.deletedOfficial = official ? shown : -1;
        } else {
            const std::vector<int> at{int(state.offset(kind) / size)};
            touched.persons = person ? at : std::vector<int>();
            touched.officials = official ? at : std::vector<int>();
            touched.clubs = kind == EditorScreen::Club ? at : std::vector<int>();
        }
        CountState now(db);
        QStringList problems = checkIntegrity(db, lookups, IntegrityOptions{true});
        problems += countChanges(counts, now, touched);
        counts = std::move(now);
        QVERIFY2(problems.isEmpty(), qPrintable(failure(problems.join('\n'))));
        if (action != 0 && !state.newRecordMode) {
            const QByteArray stored = allImages(db);
            QVERIFY(screen->showRecord());
            QVERIFY2(screen->confirm(), qPrintable(failure("an unchanged confirm was refused")));
            QVERIFY2(allImages(db) == stored,
                     qPrintable(failure("an unchanged confirm changed data")));
        }
    }
}

KX3_GUI_TEST_MAIN(tst_RandomScreenOperations)
#include "tst_RandomScreenOperations.moc"
