#include "gui/widgets/Prompter.h"

#include "core/people/RoleRules.h"

#include "../support/OffscreenTestMain.h"

#include <QTest>

using namespace kx3;

class tst_Prompter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The two job-change refusals are written with a bare carriage return
    // between their sentences; a box shows them on two lines.
    void carriageReturnsBreakLines()
    {
        for (const char *message :
             {RoleMessage::PlayerFreeTransferFirst, RoleMessage::StaffFreeTransferFirst}) {
            const QStringList lines = messageBoxText(QString::fromLatin1(message)).split('\n');
            QCOMPARE(lines.size(), 2);
            QVERIFY(lines.last().startsWith(QStringLiteral("Then, you may transfer him back")));
        }
        QCOMPARE(messageBoxText(QStringLiteral("a\r\nb\rc")), QStringLiteral("a\nb\nc"));
    }
};

KX3_GUI_TEST_MAIN(tst_Prompter)
#include "tst_Prompter.moc"
