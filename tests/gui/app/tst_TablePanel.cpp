#include "core/changes/RecordForms.h"
#include "core/db/Cp1252.h"
#include "core/document/Document.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/RecordTitles.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/TMainForm.h"
#include "gui/app/TablePanel.h"
#include "gui/widgets/RecordTableModel.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "TestDatabase.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>

#include <map>
#include <set>

using namespace kx3;

namespace {

QPoint cellAt(QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

} // namespace

class TestTablePanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QStandardPaths::setTestModeEnabled(true);
        QSettings().remove(QStringLiteral("table"));
    }
    void filterSortOpenAndSetInBulk();
};

// A number column filtered (a fault first), sorted both ways, a row opened on
// its screen, and three rows set at once as one step that one undo takes back.
void TestTablePanel::filterSortOpenAndSetInBulk()
{
    test::TestInstallation install;
    QVERIFY(install.isValid());
    auto owned = std::make_unique<test::ScriptedPrompter>();
    test::ScriptedPrompter &prompter = *owned;
    TMainForm form(std::make_unique<test::FakeSource>(), install.path(), std::move(owned));
    form.show();
    auto click = [&form](const char *name) {
        auto *b = form.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    };
    QCoreApplication::processEvents();
    click("bnBegin");
    click("bnTable");
    QCOMPARE(form.currentPanel()->objectName(), QStringLiteral("pnTable"));
    const RecordTable &table = *form.tablePanel()->table();
    auto *view = form.findChild<QTableView *>(QStringLiteral("tvTable"));
    auto *model = static_cast<RecordTableModel *>(view->model());
    const int column = table.column(QStringLiteral("Caps"));
    QVERIFY(column >= 0 && table.columns()[std::size_t(column)].editable);
    auto value = [&](int row) { return table.value(model->tableRow(row), column).value_or(-1); };

    auto *filter = form.findChild<QLineEdit *>(QStringLiteral("TableFilter"));
    filter->setFocus();
    QTest::keyClicks(filter, QStringLiteral("caps >"));
    QTest::keyClick(filter, Qt::Key_Return);
    auto *fault = form.findChild<QLabel *>(QStringLiteral("lbFilterError"));
    QCOMPARE(fault->text(),
             QStringLiteral("expected a value at character 7 \u2014 showing every row"));
    QCOMPARE(model->rowCount(), table.rowCount());
    QTest::keyClicks(filter, QStringLiteral("= 3"));
    QTest::keyClick(filter, Qt::Key_Return);
    const int shown = model->rowCount();
    QVERIFY(shown > 5 && shown < table.rowCount());
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("lbTableCount"))->text(),
             tableCountText(TableKind::Players, shown, table.rowCount()));
    for (int row = 0; row < shown; ++row)
        QVERIFY(value(row) >= 3);
    // A column name completed where it is typed; the filter it makes is not
    // whole, so the rows of the last one stay, and it says so.
    QTest::keyClicks(filter, QStringLiteral(" and curr"));
    auto *completer = form.tablePanel()->findChild<QCompleter *>();
    QVERIFY(completer->popup()->isVisible());
    QTest::keyClick(completer->popup(), Qt::Key_Down);
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    QCOMPARE(filter->text(), QStringLiteral("caps >= 3 and Current Ability"));
    QTest::keyClick(filter, Qt::Key_Return);
    QVERIFY2(fault->text().endsWith(
                 u"at character 30 \u2014 showing the rows of \u201ccaps >= 3\u201d"),
             qPrintable(fault->text()));
    QCOMPARE(model->rowCount(), shown);

    QHeaderView *header = view->horizontalHeader();
    for (const bool ascending : {true, false}) {
        cellAt(view, 0, column);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, 4));
        QCOMPARE(model->rowCount(), shown);
        for (int row = 1; row < shown; ++row)
            QVERIFY(ascending ? value(row - 1) <= value(row) : value(row - 1) >= value(row));
    }

    const int opened = table.record(model->tableRow(1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellAt(view, 1, column));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cellAt(view, 1, column));
    QCOMPARE(form.editorFrame()->currentEditorPanel()->objectName(), QStringLiteral("pnPlayer"));
    QCOMPARE(form.editorFrame()->title(), fromCp1252(personTitle(form.database(), opened)));
    click("bnSearch");
    click("bnTable");
    QCOMPARE(model->rowCount(), shown);

    // Rows 3 to 5 (descending, so below the highest) are set to the highest value.
    std::map<int, QString> before; // record -> cell
    for (int row = 0; row < table.rowCount(); ++row)
        before[table.record(row)] = table.text(row, column);
    const QString highest = model->index(0, column).data().toString();
    std::set<int> chosen;
    for (int row = 3; row < 6; ++row)
        chosen.insert(table.record(model->tableRow(row)));
    QVERIFY(before[*chosen.begin()] != highest);
    std::vector<QByteArray> images;
    for (DataFile file : AllDataFiles)
        images.push_back(form.database().image(file).bytes());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellAt(view, 3, column));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      cellAt(view, 5, column));
    prompter.queueText(highest);
    click("bnTableSet");
    QCOMPARE(form.database().history().undoStep()->label,
             QStringLiteral("Set Caps \u2014 3 rows"));
    std::set<int> selected; // the selection follows its records to their new rows
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        selected.insert(table.record(model->tableRow(index.row())));
    QCOMPARE(selected, chosen);
    for (int row = 0; row < table.rowCount(); ++row) {
        const int record = table.record(row);
        QCOMPARE(table.text(row, column), chosen.count(record) ? highest : before[record]);
    }

    form.undoClick();
    QCOMPARE(form.currentPanel()->objectName(), QStringLiteral("pnTable"));
    for (int row = 0; row < table.rowCount(); ++row)
        QCOMPARE(table.text(row, column), before[table.record(row)]);
    for (std::size_t i = 0; i < AllDataFiles.size(); ++i)
        QCOMPARE(form.database().image(AllDataFiles[i]).bytes(), images[i]);

    // A cell typed over: its Return ends the edit, opens nothing, and makes one step.
    const int typedOver = table.record(model->tableRow(0));
    view->setCurrentIndex(model->index(0, column));
    QTest::keyClicks(view, QStringLiteral("7"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the edit is written once its box has closed
    QCoreApplication::processEvents();
    QCOMPARE(form.currentPanel()->objectName(), QStringLiteral("pnTable"));
    QCOMPARE(table.text(table.rowOf(typedOver), column), QStringLiteral("7"));
    QVERIFY(form.database().history().undoStep()->label.startsWith(QStringLiteral("Set Caps")));

    // A value beyond its advised range is asked about; No writes nothing.
    const kx3::DatabaseSnapshot snapshot(form.database());
    view->setCurrentIndex(model->index(0, table.column(QStringLiteral("Loyalty"))));
    prompter.queueText(QStringLiteral("25"));
    prompter.queue(false);
    click("bnTableSet");
    QVERIFY(prompter.texts().last().endsWith(QStringLiteral("Store anyway?")));
    QVERIFY(snapshot.sameAs(form.database()));

    // A club renamed by a step taken elsewhere, and the undo of it, show in
    // the Club column of the players left open.
    const int clubs = table.column(QStringLiteral("Club"));
    int row = 0;
    while (table.text(row, clubs) == QLatin1String("<none>"))
        ++row;
    const int member = table.record(row);
    const QString was = table.text(row, clubs);
    QVERIFY(writeRecordForm(form.database(), form.lookups(), RecordKind::Club,
                            person(form.database(), member)->club(),
                            {{QStringLiteral("Long Name"), QStringLiteral("Renamed Town")}})
                .ok());
    QVERIFY(form.document().commitStep(QStringLiteral("Rename")));
    QCOMPARE(table.text(table.rowOf(member), clubs), QStringLiteral("Renamed Town"));
    form.undoClick();
    QCOMPARE(table.text(table.rowOf(member), clubs), was);
}

KX3_GUI_TEST_MAIN(TestTablePanel)
#include "tst_TablePanel.moc"
