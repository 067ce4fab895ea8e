#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace kx3 {

/// The row under every panel: which installation is open, whether the data
/// are modified, a notice that fades, and the actions that must be at hand
/// whichever panel is in front (Undo, Redo, Save, Changes, History).
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    /// The Data folder open; empty before one is.
    void setFolder(const QString &folder, bool readOnly);
    /// "modified (3 unsaved steps)", or nothing; `steps` < 0 when they
    /// cannot be counted (the saved state is no longer in the history).
    void setModified(bool modified, int steps);
    void setUndo(bool enabled, const QString &tip);
    void setRedo(bool enabled, const QString &tip);
    void setSaveEnabled(bool enabled);
    void setHistoryEnabled(bool enabled);
    /// Shown for a few seconds; a later notice replaces it.
    void showNotice(const QString &text);

    static constexpr int Height = 22;

Q_SIGNALS:
    void undoRequested();
    void redoRequested();
    void saveRequested();
    void changesRequested();
    void historyRequested();

private:
    QLabel *mFolder;
    QLabel *mModified;
    QLabel *mNotice;
    QPushButton *mUndo;
    QPushButton *mRedo;
    QPushButton *mSave;
    QPushButton *mChanges;
    QPushButton *mHistory;
};

} // namespace kx3
