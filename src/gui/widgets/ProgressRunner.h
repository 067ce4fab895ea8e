#pragma once

#include "core/db/Progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace kx3 {

/// Runs long work (a load, a save, a search, an import) while the window
/// goes on repainting, with the busy pointer. User input waits meanwhile and
/// is dropped at the end, as a modal dialog drops it: nothing can be clicked
/// or typed that would change the data. Work still running after a moment
/// shows a modal progress dialog with the label and the step it reports.
///
/// Work runs in one of two ways. On a worker thread, when the window's
/// painting and timers read nothing the work changes, and change nothing it
/// reads; or on this thread, which repaints the window whenever the work
/// reports progress, when the work changes what the window could read.
class ProgressRunner : public QObject
{
    Q_OBJECT

public:
    using Work = std::function<void(const Progress &)>;

    /// The dialog is modal to the window of `parent` and says `label`.
    ProgressRunner(QWidget *parent, QString label);
    ~ProgressRunner() override;

    /// Runs `work` on a worker thread; returns when it has ended.
    void runInWorker(const Work &work);
    /// Runs `work` on this thread; returns when it has ended. `frozen`, the
    /// view of what the work changes, keeps its picture until then.
    void runHere(const Work &work, QWidget *frozen = nullptr);

    /// Calls `call` now when no work runs, otherwise queued once it has ended
    /// (unless `context` is gone then). For timers and queued calls that
    /// change the data: waiting for work holds back input, not them.
    static void whenIdle(QObject *context, std::function<void()> call);

private:
    void begin();
    void end();
    void showDialog();
    void showProgress();
    /// From work on this thread: the window repaints, now and then.
    void reportHere(const QString &step, int done, int total);

    QPointer<QWidget> mParent;
    QString mLabel;
    QTimer mDelay;
    QElapsedTimer mSincePaint;
    bool mWaited = false;
    std::unique_ptr<QObject> mBlocker;
    QPointer<QProgressDialog> mDialog;
    QProgressBar *mBar = nullptr;

    /// The last report of the worker, and whether a call to show it is on
    /// its way to this thread.
    std::mutex mMutex;
    QString mStep;
    int mDone = 0;
    int mTotal = 0;
    bool mShowPosted = false;
};

} // namespace kx3
