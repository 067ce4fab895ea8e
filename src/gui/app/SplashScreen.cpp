#include "SplashScreen.h"
#include "ui_SplashScreen.h"

#include "PortraitArt.h"
#include "gui/widgets/PanelAnchors.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace kx3 {

namespace {

const QColor Teal(0x00, 0x80, 0x80);
const QColor Purple(0x80, 0x00, 0x80);
const QColor Maroon(0x80, 0x00, 0x00);
const QColor LinkBlue(0x00, 0x00, 0xff);

// The titles are meant for Arial; the later names are what Linux systems
// usually have instead, so the metrics-based layout below never clips.
const QStringList TitleFamilies = {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                   QStringLiteral("DejaVu Sans")};
const QStringList DigitFamilies = {
    QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
    QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};

QFont titleFont(const QStringList &families, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

} // namespace

SplashScreen::SplashScreen(QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::SplashScreen>()),
      mRandom([](int bound) { return int(QRandomGenerator::global()->bounded(bound)); })
{
    mUi->setupUi(this);
    mUi->l8->setText(QLatin1String(MailAddress));
    setUpPortrait();
    styleTexts();
    layOutTexts();
    // In a larger window the picture and the titles stand together in the middle.
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"pnPortrait", "bnBeginKX3", "bnBeginKX9900", "bnBegin", "Exit1", "l1", "l2",
                     "lnRule", "l3", "l4", "l5", "l8"},
                    {A::Centre, A::Centre});

    connect(mUi->bnBeginKX3, &QPushButton::clicked, this, &SplashScreen::beginKX3Requested);
    connect(mUi->bnBeginKX9900, &QPushButton::clicked, this, &SplashScreen::beginKX9900Requested);
    connect(mUi->bnBegin, &QPushButton::clicked, this, &SplashScreen::beginRequested);
    connect(mUi->Exit1, &QPushButton::clicked, this, &SplashScreen::exitRequested);
    mUi->l8->installEventFilter(this);
}

SplashScreen::~SplashScreen() = default;

void SplashScreen::setUpPortrait()
{
    mUi->OrboImg->setPixmap(PortraitArt::portrait());
    mUi->OrboImg->setFixedSize(PortraitArt::size());
    const QRect eyes = PortraitArt::eyeArea().translated(mUi->OrboImg->pos());
    mUi->OrboEye->setPixmap(PortraitArt::blinkOverlay());
    mUi->OrboEye2->setPixmap(PortraitArt::winkOverlay());
    for (QLabel *overlay : {mUi->OrboEye, mUi->OrboEye2}) {
        overlay->setGeometry(eyes);
        overlay->raise();
        overlay->hide();
    }
}

void SplashScreen::styleTexts()
{
    mUi->l1->setFont(titleFont(TitleFamilies, 44, true));
    mUi->l2->setFont(titleFont(DigitFamilies, 96, true));
    mUi->l3->setFont(titleFont(TitleFamilies, 26, true));
    mUi->l4->setFont(titleFont(TitleFamilies, 17, true));
    mUi->l5->setFont(titleFont(TitleFamilies, 12, false));
    QFont link = titleFont(TitleFamilies, 13, false);
    link.setUnderline(true);
    mUi->l8->setFont(link);

    setTextColor(mUi->l1, Teal);
    setTextColor(mUi->l2, Teal);
    setTextColor(mUi->l3, Maroon);
    setTextColor(mUi->l4, Purple);
    setTextColor(mUi->l8, LinkBlue);
    QPalette rule = mUi->lnRule->palette();
    rule.setColor(QPalette::Window, Purple);
    mUi->lnRule->setPalette(rule);

    mUi->l8->setCursor(Qt::PointingHandCursor);
}

// The right-hand texts are placed from their font metrics rather than fixed
// rectangles, so that whichever font stands in for Arial fits.
void SplashScreen::layOutTexts()
{
    const int left = mUi->pnPortrait->geometry().right() + 12;
    const int width = this->width() - left - 8;
    const int centre = left + width / 2;

    // "Kickora" sits on the baseline of the big "3".
    const QFontMetrics name(mUi->l1->font());
    const QFontMetrics digit(mUi->l2->font());
    const int nameWidth = name.horizontalAdvance(mUi->l1->text()) + 2;
    const int digitWidth = digit.horizontalAdvance(mUi->l2->text()) + 2;
    const int gap = 6;
    const int rowLeft = centre - (nameWidth + gap + digitWidth) / 2;
    const int rowTop = 0;
    const int baseline = rowTop + digit.ascent();
    mUi->l2->setGeometry(rowLeft + nameWidth + gap, rowTop, digitWidth, digit.height());
    mUi->l1->setGeometry(rowLeft, baseline - name.ascent(), nameWidth, name.height() + 2);

    int y = baseline + digit.descent() / 2 + 6;
    mUi->lnRule->setGeometry(left + 10, y, width - 20, 2);
    y += 14;

    auto place = [&](QLabel *label, int spacingAfter) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        const int h = label->wordWrap() ? label->heightForWidth(width)
                                        : QFontMetrics(label->font()).height() + 2;
        label->setGeometry(left, y, width, h);
        y += h + spacingAfter;
    };
    place(mUi->l3, 6);
    place(mUi->l4, 0);

    // The title block stands centred in the room above the foot.
    const int footTop = mUi->bnBeginKX3->geometry().top();
    const int shift = std::max(8, (footTop - y) / 2);
    for (QWidget *w : {static_cast<QWidget *>(mUi->l1), static_cast<QWidget *>(mUi->l2),
                       static_cast<QWidget *>(mUi->lnRule), static_cast<QWidget *>(mUi->l3),
                       static_cast<QWidget *>(mUi->l4)})
        w->move(w->x(), w->y() + shift);

    // Author and address stand at the foot, level with the start buttons.
    y = footTop;
    place(mUi->l5, 6);
    const QFontMetrics link(mUi->l8->font());
    const int linkWidth = link.horizontalAdvance(mUi->l8->text()) + 4;
    mUi->l8->setGeometry(centre - linkWidth / 2, y, linkWidth, link.height() + 2);
    mUi->l8->setAlignment(Qt::AlignCenter);
}

void SplashScreen::showStartButtons(bool kx3Found, bool kx9900Found, bool currentFolder)
{
    if (currentFolder) {
        mUi->bnBeginKX3->hide();
        mUi->bnBeginKX9900->hide();
        mUi->bnBegin->show();
        mUi->bnBegin->raise();
        return;
    }
    mUi->bnBeginKX3->show();
    mUi->bnBeginKX9900->show();
    mUi->bnBeginKX3->setEnabled(kx3Found);
    mUi->bnBeginKX9900->setEnabled(kx9900Found);
    mUi->bnBegin->hide();
}

void SplashScreen::focusExit()
{
    mUi->Exit1->setFocus();
}

void SplashScreen::startAnimation()
{
    if (mTimer)
        return;
    mTimer = new QTimer(this);
    mTimer->setInterval(TickMs);
    connect(mTimer, &QTimer::timeout, this, &SplashScreen::tick);
    mTimer->start();
}

void SplashScreen::stopAnimation()
{
    delete mTimer;
    mTimer = nullptr;
    mUi->OrboEye->hide();
    mUi->OrboEye2->hide();
}

// A blink (OrboEye) comes on about one tick in twenty and stays 1 to 3
// ticks; a wink (OrboEye2) as often, for 6 to 10 ticks. The global
// generator is seeded once from the system, so it needs no re-seeding per tick.
void SplashScreen::tick()
{
    const bool overlayShown = !mUi->OrboEye->isHidden() || !mUi->OrboEye2->isHidden();
    if (mHold > 0 && overlayShown) {
        --mHold;
        return;
    }
    mUi->OrboEye->hide();
    mUi->OrboEye2->hide();
    const int r = mRandom(20);
    if (r == 10) {
        mUi->OrboEye->show();
        mHold = mRandom(3);
    } else if (r == 0) {
        mUi->OrboEye2->show();
        mHold = 5 + mRandom(5);
    }
}

bool SplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mUi->l8 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        l8Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashScreen::l8Click()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QLatin1String(MailAddress)));
}

} // namespace kx3
