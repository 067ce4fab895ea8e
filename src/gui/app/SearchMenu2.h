#pragma once

#include "gui/screen/RecordKinds.h"

#include <QWidget>

#include <memory>

namespace Ui {
class SearchMenu2;
}

namespace kx3 {

class Document;

class Database;
class DefaultButtonGroup;
class Prompter;
class SearchGroup;

/// The miscellaneous search menu: officials, nations, stadiums and cities.
/// Its competition group is shown but has no search behind it.
class SearchMenu2 : public QWidget
{
    Q_OBJECT

public:
    explicit SearchMenu2(QWidget *parent = nullptr);
    ~SearchMenu2() override;

    void setDatabase(const Database *database) { mDatabase = database; }
    void setPrompter(Prompter *prompter);
    /// Its result lists follow every step of `doc`.
    void setDocument(Document &doc);
    /// Registers the search boxes and their "Begin Search" buttons.
    void addSearchBoxesTo(DefaultButtonGroup &group);

    void focusSearch();
    /// Whether the leave button returns to the editor ("Cancel") or ends the
    /// program ("Exit"); its caption follows.
    bool returnsToEditor() const { return mReturnsToEditor; }
    void setReturnsToEditor(bool returns);
    /// "Table" and "Apply Patch…" are offered only while no transfer waits on
    /// the main menu.
    void setDataToolsEnabled(bool enabled);

    SearchGroup *officials() const { return mOfficials; }
    SearchGroup *nations() const { return mNations; }
    SearchGroup *stadiums() const { return mStadiums; }
    SearchGroup *cities() const { return mCities; }

Q_SIGNALS:
    void recordChosen(kx3::EditorScreen kind, qint64 offset);
    void otherMenuRequested();
    void applyPatchRequested();
    void tableRequested();
    void exitRequested();

private:
    void layOutForAnySize();

    std::unique_ptr<Ui::SearchMenu2> mUi;
    const Database *mDatabase = nullptr;
    SearchGroup *mOfficials = nullptr;
    SearchGroup *mNations = nullptr;
    SearchGroup *mStadiums = nullptr;
    SearchGroup *mCities = nullptr;
    bool mReturnsToEditor = false;
};

} // namespace kx3
