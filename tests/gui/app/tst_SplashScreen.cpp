#include "app/SplashScreen.h"

#include "../support/OffscreenTestMain.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>

using kx3::SplashScreen;

Q_DECLARE_METATYPE(QList<int>)

namespace {

/// Hands out scripted draws and remembers the bound asked for each time.
struct ScriptedRandom
{
    QList<int> draws;
    QList<int> bounds;
    int operator()(int bound)
    {
        bounds.append(bound);
        return draws.isEmpty() ? 7 : draws.takeFirst();
    }
};

} // namespace

class MailCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

class TestSplashScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blinkRule_data();
    void blinkRule();
    void timerDrivesAndStopsTheAnimation();
    void mailLinkOpensMailProgram();
    void textsFitUnclipped();
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
    QTest::newRow("blink after idle ticks")
        << QList<int>{3, 10, 1, 3} << "-EE-" << QList<int>{20, 20, 3, 20};
}

void TestSplashScreen::blinkRule()
{
    QFETCH(QList<int>, draws);
    QFETCH(QString, seen);
    QFETCH(QList<int>, bounds);

    SplashScreen splash;
    auto random = std::make_shared<ScriptedRandom>();
    random->draws = draws;
    splash.setRandomSource([random](int bound) { return (*random)(bound); });
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
    QCOMPARE(random->bounds, bounds);
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
    QVERIFY(eye2->isHidden());
}

void TestSplashScreen::mailLinkOpensMailProgram()
{
    MailCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    SplashScreen splash;
    splash.show();
    auto *link = splash.findChild<QLabel *>(QStringLiteral("l8"));
    QVERIFY(link);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("mailto:kx3-editor@example.org"))});
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
        QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
                 qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                                .arg(QLatin1String(name))
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(box.width())
                                .arg(box.height())));
        for (const QRect &other : std::as_const(taken))
            QVERIFY2(!box.intersects(other), name);
        taken.append(box);
    }

    for (const char *name : {"bnBeginKX3", "bnBeginKX9900", "bnBegin", "Exit1"}) {
        auto *button = splash.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QVERIFY2(screen.contains(button->geometry()), name);
        QVERIFY2(button->sizeHint().width() <= button->width(), name);
        QVERIFY2(!button->geometry().intersects(portrait), name);
    }
}

KX3_GUI_TEST_MAIN(TestSplashScreen)
#include "tst_SplashScreen.moc"
