// Random use of the whole window from "Begin Editing" on: buttons of whatever
// panel is in front pressed (every one but Exit, so saving too), search and
// edit boxes typed into, list items chosen, result and squad rows opened, and
// every question answered at random. After each step the database must pass
// the integrity check; a crash or a sanitizer report fails the run too.
//
// A failure prints the steps that led to it; KX3_SEED=<seed> runs that seed
// alone.
#include "core/lookup/Lookups.h"
#include "core/records/IntegrityCheck.h"
#include "gui/app/SplashScreen.h"
#include "gui/app/TMainForm.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/RandomPrompter.h"
#include "TestDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTreeView>
#include <QTreeWidget>

using namespace kx3;

namespace {

constexpr quint32 Seeds = 6;
constexpr int Steps = 600;

template <typename T>
QList<T *> usable(QWidget *root)
{
    QList<T *> out;
    for (T *w : root->findChildren<T *>())
        if (w->isVisible() && w->isEnabled())
            out.append(w);
    return out;
}

} // namespace

class tst_RandomWindowUse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void randomUse_data()
    {
        QTest::addColumn<quint32>("seed");
        bool fixed = false;
        const quint32 chosen = qEnvironmentVariable("KX3_SEED").toUInt(&fixed);
        for (quint32 seed = fixed ? chosen : 1; seed <= (fixed ? chosen : Seeds); ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomUse()
    {
        QFETCH(quint32, seed);
        QRandomGenerator r(seed);
        BuilderOptions options;
        options.seed = seed;
        options.persons = 40 + int(seed % 120);
        test::TestInstallation install(options);
        QVERIFY(install.isValid());
        auto source = std::make_unique<test::FakeSource>();
        TMainForm form(std::move(source), install.path(),
                       std::make_unique<test::RandomPrompter>(r));
        form.splashScreen()->setRandomSource([](int) { return 7; });
        form.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        auto *begin = form.findChild<QAbstractButton *>("bnBegin");
        QVERIFY(begin);
        begin->click();
        QVERIFY(form.database().isLoaded());
        QStringList log;
        static const QStringList texts = {"a", " ", "Smith", "United", "London", "e",
                                          "x", "1", "-5",    "300",    ""};
        for (int step = 0; step < Steps && form.isVisible(); ++step) {
            QWidget *panel = form.currentPanel();
            const int what = r.bounded(10);
            if (what < 5) {
                auto buttons = usable<QAbstractButton>(panel);
                buttons.removeIf([](QAbstractButton *b) {
                    return b->objectName().startsWith("Exit") || b->text() == "Exit";
                });
                if (buttons.isEmpty())
                    continue;
                QAbstractButton *b = buttons.at(r.bounded(int(buttons.size())));
                log.append(
                    QStringLiteral("%1: click %2 '%3'").arg(step).arg(b->objectName(), b->text()));
                b->click();
            } else if (what < 7) {
                const auto edits = usable<QLineEdit>(panel);
                if (edits.isEmpty())
                    continue;
                QLineEdit *e = edits.at(r.bounded(int(edits.size())));
                if (e->isReadOnly())
                    continue;
                const QString t = texts.at(r.bounded(int(texts.size())));
                log.append(QStringLiteral("%1: type %2='%3'").arg(step).arg(e->objectName(), t));
                e->setText(t);
                Q_EMIT e->textEdited(t);
                Q_EMIT e->editingFinished();
            } else if (what < 8) {
                const auto combos = usable<QComboBox>(panel);
                if (combos.isEmpty())
                    continue;
                QComboBox *c = combos.at(r.bounded(int(combos.size())));
                if (c->count() == 0)
                    continue;
                const int i = r.bounded(c->count());
                log.append(QString::number(step) + ": choose " + c->objectName() + "#"
                           + QString::number(i));
                c->setCurrentIndex(i);
            } else {
                const auto views = usable<QTreeView>(panel);
                if (views.isEmpty())
                    continue;
                QTreeView *v = views.at(r.bounded(int(views.size())));
                QAbstractItemModel *m = v->model();
                if (!m || m->rowCount() == 0)
                    continue;
                const QModelIndex i = m->index(r.bounded(m->rowCount()), 0);
                log.append(QString::number(step) + ": row " + v->objectName() + "#"
                           + QString::number(i.row()));
                v->setCurrentIndex(i);
                if (r.bounded(2)) {
                    if (auto *tw = qobject_cast<QTreeWidget *>(v))
                        Q_EMIT tw->itemDoubleClicked(tw->currentItem(), 0);
                    else
                        Q_EMIT v->doubleClicked(i);
                }
            }
            QCoreApplication::processEvents();
            if (log.size() > 25)
                log.removeFirst();
            const QStringList problems =
                checkIntegrity(form.database(), form.lookups(), IntegrityOptions{true});
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1\n%2\nreplay: KX3_SEED=%3")
                                                        .arg(log.join('\n'), problems.join('\n'))
                                                        .arg(seed)));
        }
    }
};

KX3_GUI_TEST_MAIN(tst_RandomWindowUse)
#include "tst_RandomWindowUse.moc"
