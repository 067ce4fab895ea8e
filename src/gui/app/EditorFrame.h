#pragma once

#include <QWidget>

#include <memory>

class QStackedWidget;

namespace Ui {
class EditorFrame;
}

namespace kx3 {

/// The editor screen: a title bar naming the record shown, the stack of
/// record editors and the buttons shared by all of them.
class EditorFrame : public QWidget
{
    Q_OBJECT

public:
    explicit EditorFrame(QWidget *parent = nullptr);
    ~EditorFrame() override;

    void setTitle(const QString &title);
    /// A line at the right of the title bar for a few seconds: what an
    /// action that shows nothing else did ("Saved 14 files").
    void showNotice(const QString &text);
    /// Caption and state of the create and delete buttons, as the record
    /// editor shown last sets them.
    void setCreateButton(const QString &caption, bool enabled);
    void setDeleteButton(const QString &caption, bool enabled);
    /// The undo and redo buttons: enabled while there is a step, their tips
    /// naming it.
    void setUndoButton(bool enabled, const QString &tip);
    void setRedoButton(bool enabled, const QString &tip);
    /// "Save To Disk": off while the installation is open read-only.
    void setSaveButton(bool enabled);
    QString title() const;

    /// Adds a record editor to the stack; the frame takes ownership.
    void addEditorPanel(QWidget *panel);
    /// Brings one of the added editors to the front.
    void showEditorPanel(QWidget *panel);
    QWidget *currentEditorPanel() const;

Q_SIGNALS:
    void searchRequested();
    void createRequested();
    void deleteRequested();
    void undoRequested();
    void redoRequested();
    void changesRequested();
    void saveRequested();
    void exitRequested();

private:
    std::unique_ptr<Ui::EditorFrame> mUi;
};

} // namespace kx3
