#pragma once

#include "core/lookup/Search.h"
#include "gui/screen/RecordKinds.h"
#include "gui/widgets/SearchResultModel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace kx3 {

class Document;

class Prompter;
class SearchResultModel;

/// The widgets of one search group of a search menu.
struct SearchGroupWidgets
{
    QLineEdit *box = nullptr;
    QCheckBox *caseSensitive = nullptr; ///< none where the search ignores case
    QPushButton *searchButton = nullptr;
    QTreeView *list = nullptr;
    QPushButton *gotoButton = nullptr;
};

/// Runs one name search of a search menu into its result list and reports
/// the record the user opens from it.
class SearchGroup : public QObject
{
    Q_OBJECT

public:
    using Search = std::function<SearchRows(const QByteArray &text, bool caseSensitive)>;

    /// `notFound` is the message shown when a search lists nothing.
    SearchGroup(const SearchGroupWidgets &widgets, Search search, QString notFound,
                QObject *parent = nullptr);

    void setPrompter(Prompter *prompter) { mPrompter = prompter; }
    const SearchGroupWidgets &widgets() const { return mWidgets; }
    SearchResultModel *model() const { return mModel; }

    /// The "Begin Search" button: an empty text changes nothing.
    void beginSearch();
    /// Offset of the selected result, or nothing.
    std::optional<qint64> selectedOffset() const;
    void clear();
    /// From now on the rows follow every step of `doc` as records of `kind`:
    /// moved, renamed in place, and gone with their record (or, for persons,
    /// with the role the list is of).
    void followRecords(Document &doc, EditorScreen kind);
    /// The kind of record the list holds, once it follows a document.
    std::optional<EditorScreen> kind() const { return mKind; }
    /// Opens the result `delta` rows from the one of `offset` (selecting
    /// it); false when there is none.
    bool openNeighbour(qint64 offset, int delta);

Q_SIGNALS:
    /// A result was double-clicked or its go-to button pressed.
    void chosen(qint64 offset);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void open();
    SearchResultModel::SortedRows searched(const QString &text, bool caseSensitive);

    SearchGroupWidgets mWidgets;
    Search mSearch;
    QString mNotFound;
    SearchResultModel *mModel;
    /// The search the list shows, while it shows one.
    std::optional<std::pair<QString, bool>> mListed;
    Prompter *mPrompter = nullptr;
    std::optional<EditorScreen> mKind;
};

} // namespace kx3
