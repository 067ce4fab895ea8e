#pragma once

#include <QObject>

class QCloseEvent;
class QWidget;

namespace kx3 {

class ChangeLists;
class Document;
class EditorFrame;
class Navigator;
class Prompter;
class StatusBar;

/// "Save To Disk" from wherever it is offered (the editor's button, the
/// status bar, Ctrl+S on any panel) and the question before the program ends
/// with unsaved changes. A save that would write errors the files did not
/// have when loaded is refused, listing them.
class SaveController : public QObject
{
    Q_OBJECT

public:
    SaveController(QWidget *window, Document &doc, ChangeLists &changes, Navigator &navigator,
                   Prompter &prompter, EditorFrame &editor, StatusBar &bar);

    /// "Save To Disk": asks, naming what the save changes, then saves.
    void save();
    /// Saves with progress; reports a failure or a refusal and returns false.
    bool saveData();
    /// Every way out of the program: true when it may end now (nothing
    /// unsaved, or the user saved or dropped it).
    bool mayClose();

private:
    QWidget *mWindow;
    Document &mDoc;
    ChangeLists &mChanges;
    Navigator &mNavigator;
    Prompter &mPrompter;
    EditorFrame &mEditor;
    StatusBar &mBar;
};

} // namespace kx3
