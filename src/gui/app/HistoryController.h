#pragma once

#include <QObject>

class QAction;
class QWidget;

namespace kx3 {

class Document;
class EditorFrame;
class Navigator;
class StatusBar;

/// "Undo", "Redo" and "History" wherever they are offered (the editor's
/// bottom row, the status bar, the keys of the whole window): the document's
/// steps taken back or done again, and the record each acted on shown.
class HistoryController : public QObject
{
    Q_OBJECT

public:
    HistoryController(QWidget *window, Document &doc, Navigator &navigator, EditorFrame &editor,
                      StatusBar &bar);
    ~HistoryController() override;

    void undo();
    void redo();
    /// The list of steps; a double-click goes back or forward to one.
    void showHistory();
    /// Buttons, keys and tips as the history now stands.
    void update();
    /// What a double-click in the history list does: steps undone or redone
    /// until `position` of them are done, and the record the last one acted
    /// on shown.
    void moveTo(int position);

protected:
    /// A text box claims the history keys for its own undo even when it has
    /// none to offer; then they are the editor's.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void move(bool undo);

    QWidget *mWindow;
    Document &mDoc;
    Navigator &mNavigator;
    EditorFrame &mEditor;
    StatusBar &mBar;
    QAction *mUndo;
    QAction *mRedo;
};

} // namespace kx3
