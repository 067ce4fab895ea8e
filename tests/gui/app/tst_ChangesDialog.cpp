#include "core/changes/ModPatch.h"
#include "gui/app/ChangesDialog.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/TMainForm.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "TestDatabase.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

using namespace kx3;
using Answer = Prompter::Answer;

namespace {

void click(QWidget *in, const char *name)
{
    auto *b = in->findChild<QPushButton *>(QLatin1String(name));
    QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton);
}

QStringList rowTexts(const QAbstractItemModel *model, int row)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->index(row, column).data().toString();
    return texts;
}

} // namespace

class TestChangesDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void listOpensExportsAndApplies();
};

// A confirmed city: the save question sums it up and lists it, a row opens
// the city, and its patch, exported once saved, carries it back after an undo
// as one step.
void TestChangesDialog::listOpensExportsAndApplies()
{
    BuilderOptions options;
    options.persons = 40;
    test::TestInstallation install(options);
    QVERIFY(install.isValid());
    auto owned = std::make_unique<test::ScriptedPrompter>();
    test::ScriptedPrompter &prompter = *owned;
    TMainForm form(std::make_unique<test::FakeSource>(), install.path(), std::move(owned));
    form.show();
    QCoreApplication::processEvents();
    click(&form, "bnBegin");
    form.openRecord(EditorScreen::City, 0);
    const QString city = form.editorFrame()->title();
    auto *attraction = form.findChild<QLineEdit *>(QStringLiteral("CtAttract"));
    const QString old = attraction->text();
    const QString now = old == QLatin1String("7") ? QStringLiteral("8") : QStringLiteral("7");
    attraction->setText(now);
    click(&form, "ConfirmCity");
    form.openRecord(EditorScreen::Nation, 0);

    prompter.queue(Answer::Cancel); // "Show Changes"
    click(&form, "bnSave");
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Are you sure?")});
    QCOMPARE(prompter.lastDetail(), QStringLiteral("1 record changes: ") + city);
    QVERIFY(form.database().isModified());
    auto *dialog = form.findChild<ChangesDialog *>();
    QVERIFY(dialog && dialog->isVisible());
    auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("tabChanges"));
    QCOMPARE(tabs->count(), 1); // no original files are kept before the first save
    auto *view = qobject_cast<QTreeView *>(tabs->widget(0));
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(rowTexts(view->model(), 0),
             QStringList({city, QStringLiteral("City Attraction"), old, now}));
    const QPoint cell = view->visualRect(view->model()->index(0, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(form.editorFrame()->currentEditorPanel()->objectName(), QStringLiteral("pnCity"));
    QCOMPARE(form.editorFrame()->title(), city);

    prompter.queue(true);
    click(&form, "bnSave");
    click(&form, "bnChanges");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the first dialog
    dialog = form.findChild<ChangesDialog *>();
    tabs = dialog->findChild<QTabWidget *>(QStringLiteral("tabChanges"));
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(qobject_cast<QTreeView *>(tabs->widget(0))->model()->rowCount(), 0);
    tabs->setCurrentIndex(1);
    const QString patchFile = install.path() + QStringLiteral("/city.json");
    prompter.queueFile(patchFile);
    click(dialog, "bnExportPatch");
    click(dialog, "bnClose");

    form.undoClick();
    QCOMPARE(attraction->text(), old);
    click(&form, "bnSearch");
    prompter.queueFile(patchFile);
    prompter.queue(true);
    click(&form, "bnApplyPatch");
    QCOMPARE(prompter.lastText(), QStringLiteral("Apply 1 change of city.json?"));
    QCOMPARE(form.database().history().undoStep()->label,
             QStringLiteral("Apply Patch \u2014 city.json"));
    form.openRecord(EditorScreen::City, 0);
    QCOMPARE(attraction->text(), now);
    form.undoClick();
    QCOMPARE(form.currentPanel()->objectName(), QStringLiteral("pnSearch1"));
    form.openRecord(EditorScreen::City, 0);
    QCOMPARE(attraction->text(), old);
    QVERIFY(prompter.errors().isEmpty());
}

KX3_GUI_TEST_MAIN(TestChangesDialog)
#include "tst_ChangesDialog.moc"
