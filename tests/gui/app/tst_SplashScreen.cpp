#include "gui/app/SplashScreen.h"

#include "../support/OffscreenTestMain.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

using kx3::SplashScreen;

class TestSplashScreen : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void openMail(const QUrl &url) { mMails.append(url); }

private Q_SLOTS:
    void blinkRule_data();
    void blinkRule();
    void timerDrivesAndStopsTheAnimation();
    void mailLinkOpensMailProgram();
    void textsFitUnclipped();

private:
    QList<QUrl> mMails;
};

// Each row: the draws the random source hands out, the overlay seen after
// each tick ('-' none, 'E' OrboEye, 'W' OrboEye2) and the bounds asked for.
void TestSplashScreen::blinkRule_data()
{
    QTest::addColumn<QList<int>>("draws");
    QTest::addColumn<QString>("seen");
    QTest::addColumn<QList<int>>("bounds");

    QTest::newRow("other draws show nothing")
        << QList<int>{5, 19, 1, 11, 9} << "-----" << QList<int>{20, 20, 20, 20, 20};
    QTest::newRow("blink held longest") << QList<int>{10, 2, 5} << "EEE-" << QList<int>{20, 3, 20};
    QTest::newRow("blink held shortest") << QList<int>{10, 0, 5} << "E-" << QList<int>{20, 3, 20};
    QTest::newRow("wink held shortest")
        << QList<int>{0, 0, 5} << "WWWWWW-" << QList<int>{20, 5, 20};
    QTest::newRow("wink held longest")
        << QList<int>{0, 4, 5} << "WWWWWWWWWW-" << QList<int>{20, 5, 20};
    QTest::newRow("wink straight after blink")
        << QList<int>{10, 0, 0, 0, 3} << "EWWWWWW-" << QList<int>{20, 3, 20, 5, 20};
}

void TestSplashScreen::blinkRule()
{
    QFETCH(QList<int>, draws);
    QFETCH(QString, seen);
    QFETCH(QList<int>, bounds);

    QList<int> asked;
    SplashScreen splash;
    splash.setRandomSource([&](int bound) {
        asked.append(bound);
        return draws.isEmpty() ? 7 : draws.takeFirst();
    });
    auto *eye = splash.findChild<QLabel *>(QStringLiteral("OrboEye"));
    auto *eye2 = splash.findChild<QLabel *>(QStringLiteral("OrboEye2"));
    QVERIFY(eye && eye2);
    QVERIFY(eye->isHidden() && eye2->isHidden());

    QString actual;
    for (int i = 0; i < seen.size(); ++i) {
        splash.tick();
        QVERIFY2(eye->isHidden() || eye2->isHidden(), "both overlays shown at once");
        actual += !eye->isHidden()    ? QLatin1Char('E')
                  : !eye2->isHidden() ? QLatin1Char('W')
                                      : QLatin1Char('-');
    }
    QCOMPARE(actual, seen);
    QCOMPARE(asked, bounds);
}

void TestSplashScreen::timerDrivesAndStopsTheAnimation()
{
    SplashScreen splash;
    int calls = 0;
    splash.setRandomSource([&calls](int bound) {
        ++calls;
        return bound == 20 ? 0 : bound - 1; // always the long wink
    });
    splash.show();
    auto *eye2 = splash.findChild<QLabel *>(QStringLiteral("OrboEye2"));
    QVERIFY(!splash.isAnimating());
    splash.startAnimation();
    QVERIFY(splash.isAnimating());
    QTRY_VERIFY_WITH_TIMEOUT(eye2->isVisible(), 1000);

    splash.stopAnimation();
    QVERIFY(!splash.isAnimating());
    QVERIFY(eye2->isHidden());
    const int callsAtStop = calls;
    QTest::qWait(3 * SplashScreen::TickMs);
    QCOMPARE(calls, callsAtStop);
}

void TestSplashScreen::mailLinkOpensMailProgram()
{
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "openMail");
    SplashScreen splash;
    splash.show();
    auto *link = splash.findChild<QLabel *>(QStringLiteral("l8"));
    QVERIFY(link);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QCOMPARE(mMails, QList<QUrl>{QUrl(QStringLiteral("mailto:kx3-editor@example.org"))});
}

// Whatever font stands in for the intended ones, no text may be cut off,
// run out of the screen or overlap the portrait or another text.
void TestSplashScreen::textsFitUnclipped()
{
    SplashScreen splash;
    splash.resize(609, 473);
    splash.show();
    const QRect screen = splash.rect();
    const QRect portrait = splash.findChild<QWidget *>(QStringLiteral("pnPortrait"))->geometry();
    QVERIFY(screen.contains(portrait));

    QList<QRect> taken = {portrait};
    for (const char *name : {"l1", "l2", "l3", "l4", "l5", "l8"}) {
        auto *label = splash.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(label, name);
        const QRect box = label->geometry();
        QVERIFY2(screen.contains(box), name);
        const QFontMetrics fm(label->font());
        const QRect needed = fm.boundingRect(
            QRect(0, 0, box.width(), 1000),
            int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0), label->text());
        QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(), name);
        for (const QRect &other : std::as_const(taken))
            QVERIFY2(!box.intersects(other), name);
        taken.append(box);
    }

    for (const QPushButton *b : splash.findChildren<QPushButton *>()) {
        QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->objectName()));
        QVERIFY2(!b->geometry().intersects(portrait), qPrintable(b->objectName()));
    }
}

KX3_GUI_TEST_MAIN(TestSplashScreen)
#include "tst_SplashScreen.moc"
