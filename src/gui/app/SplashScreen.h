#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QTimer;

namespace Ui {
class SplashScreen;
}

namespace kx3 {

/// The first screen: the portrait with its blinking eyes, the titles, the
/// start button of each installed edition and "Exit".
class SplashScreen : public QWidget
{
    Q_OBJECT

public:
    /// Returns a uniformly random integer from 0 to bound - 1.
    using RandomSource = std::function<int(int bound)>;

    explicit SplashScreen(QWidget *parent = nullptr);
    ~SplashScreen() override;

    /// Enables the buttons of the found editions, or offers "Begin Editing"
    /// alone when the game was found in the current folder instead.
    void showStartButtons(bool kx3Found, bool kx9900Found, bool currentFolder);
    void focusExit();

    void setRandomSource(RandomSource source) { mRandom = std::move(source); }
    void startAnimation();
    /// Stops for good: the timer is discarded and both overlays hidden.
    void stopAnimation();
    bool isAnimating() const { return mTimer != nullptr; }
    /// One step of the animation, as run by its timer every 100 ms.
    void tick();
    int holdCounter() const { return mHold; }

    static constexpr int TickMs = 100;
    static constexpr auto MailAddress = "kx3-editor@example.org";

Q_SIGNALS:
    void beginKX3Requested();
    void beginKX9900Requested();
    void beginRequested();
    void exitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void l8Click();
    void setUpPortrait();
    void styleTexts();
    void layOutTexts();

    std::unique_ptr<Ui::SplashScreen> mUi;
    QTimer *mTimer = nullptr;
    int mHold = 0;
    RandomSource mRandom;
};

} // namespace kx3
