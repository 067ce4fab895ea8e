#include "ProgressRunner.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>
#include <utility>
#include <vector>

namespace kx3 {

namespace {

// Work over this soon runs no event loop at all: nobody sees the window stop
// for that long, and nothing else happens between a click and its result.
constexpr int QuickWork = 50;
constexpr int DialogDelay = 300;
// Work on this thread repaints the window at most this often.
constexpr int PaintInterval = 40;

// Runners on this thread (the GUI thread), nested ones included.
int running = 0;

struct Deferred
{
    QPointer<QObject> context;
    std::function<void()> call;
};

std::vector<Deferred> &deferred()
{
    static std::vector<Deferred> calls;
    return calls;
}

/// Drops input that reaches a widget while work runs: what the window system
/// held back until then, and what is sent straight to a widget (a replayed
/// key, a test's click), which no event loop holds back.
class InputBlocker : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::ToolTip:
        case QEvent::WhatsThis:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::InputMethod:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: return true;
        case QEvent::Close:
            // The user's close button: closing asks about saving, which must
            // not happen half-way through a save.
            if (!event->spontaneous())
                break;
            event->ignore();
            return true;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

ProgressRunner::ProgressRunner(QWidget *parent, QString label)
    : mParent(parent), mLabel(std::move(label))
{
    mDelay.setSingleShot(true);
    connect(&mDelay, &QTimer::timeout, this, &ProgressRunner::showDialog);
}

ProgressRunner::~ProgressRunner()
{
    delete mDialog;
}

void ProgressRunner::whenIdle(QObject *context, std::function<void()> call)
{
    if (running == 0)
        call();
    else
        deferred().push_back({context, std::move(call)});
}

void ProgressRunner::begin()
{
    // Calls already queued (a table cell's edit on its way) land before the
    // work: once it runs they would change the data under it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    ++running;
    mBlocker = std::make_unique<InputBlocker>();
    qApp->installEventFilter(mBlocker.get());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mWaited = false;
    mStep.clear();
    mDone = mTotal = 0;
    mDelay.start(DialogDelay);
    mSincePaint.start();
}

void ProgressRunner::end()
{
    mDelay.stop();
    // Input that came while the window waited goes where a modal dialog
    // sends it: nowhere. Without a wait there was no time to give any.
    if (mWaited)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    delete mDialog;
    mBar = nullptr;
    qApp->removeEventFilter(mBlocker.get());
    mBlocker.reset();
    QApplication::restoreOverrideCursor();
    if (--running > 0)
        return;
    for (Deferred &d : std::exchange(deferred(), {})) {
        if (d.context)
            QMetaObject::invokeMethod(d.context, std::move(d.call), Qt::QueuedConnection);
    }
}

// The work touches nothing that painting or a timer reads, so the window goes
// on with them meanwhile; input waits in the window system's queue.
void ProgressRunner::runInWorker(const Work &work)
{
    begin();
    const Progress report = [this](const QString &step, int done, int total) {
        const std::lock_guard lock(mMutex);
        mStep = step;
        mDone = done;
        mTotal = total;
        if (!std::exchange(mShowPosted, true))
            QMetaObject::invokeMethod(this, &ProgressRunner::showProgress, Qt::QueuedConnection);
    };
    std::unique_ptr<QThread> thread(QThread::create([&work, &report] { work(report); }));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    if (!thread->wait(QDeadlineTimer(QuickWork))) {
        mWaited = true;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        thread->wait();
    }
    end();
}

// Painting in between reports sees the data half changed, on this thread: it
// reads nothing out of bounds, but what it would show is neither the old nor
// the new state, so the view of it keeps its last picture.
void ProgressRunner::runHere(const Work &work, QWidget *frozen)
{
    const QPointer<QWidget> view = frozen && frozen->updatesEnabled() ? frozen : nullptr;
    if (view)
        view->setUpdatesEnabled(false);
    begin();
    work([this](const QString &step, int done, int total) { reportHere(step, done, total); });
    end();
    if (view)
        view->setUpdatesEnabled(true);
}

void ProgressRunner::reportHere(const QString &step, int done, int total)
{
    {
        const std::lock_guard lock(mMutex);
        mStep = step;
        mDone = done;
        mTotal = total;
    }
    if (mSincePaint.elapsed() < PaintInterval)
        return;
    mWaited = true;
    showProgress();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    mSincePaint.restart();
}

void ProgressRunner::showDialog()
{
    if (mDialog || !mParent)
        return;
    // No cancel button: no work here can stop half-way and leave the data whole.
    auto *dialog = new QProgressDialog(mParent->window());
    dialog->setWindowTitle(mParent->window()->windowTitle());
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setCancelButton(nullptr);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumWidth(360);
    // The bar is set directly: the dialog's own setValue() runs every event,
    // input included, when it is modal.
    mBar = new QProgressBar(dialog);
    dialog->setBar(mBar);
    mDialog = dialog;
    showProgress();
    dialog->show();
}

void ProgressRunner::showProgress()
{
    QString step;
    int done = 0;
    int total = 0;
    {
        const std::lock_guard lock(mMutex);
        mShowPosted = false;
        step = mStep;
        done = mDone;
        total = mTotal;
    }
    if (!mDialog)
        return;
    mDialog->setLabelText(step.isEmpty() ? mLabel : mLabel + QLatin1Char('\n') + step);
    // A total of 0 shows a busy bar.
    mBar->setRange(0, std::max(total, 0));
    mBar->setValue(total > 0 ? std::clamp(done, 0, total) : 0);
}

} // namespace kx3
