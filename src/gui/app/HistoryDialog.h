#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace kx3 {

/// "History": the session's steps in order, the ones undone greyed; a
/// double-click (or Enter) on a row goes back or forward to just after it.
class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    /// `labels` of every step kept, oldest first; `position` of them are done.
    HistoryDialog(const QStringList &labels, int position, QWidget *parent = nullptr);

    /// Shows the history with `position` steps done.
    void setPosition(int position);

Q_SIGNALS:
    /// The user chose to have `position` steps done.
    void positionChosen(int position);

private:
    QListWidget *mList;
};

} // namespace kx3
