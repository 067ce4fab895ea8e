#pragma once

#include "core/people/CareerHistory.h"

#include <QList>
#include <QObject>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kx3 {

class Prompter;

/// The widgets of a person's career history: the list and its edit boxes.
struct HistoryWidgets
{
    QTreeWidget *list = nullptr;   ///< `HistList`: Season, Club, Apps, Goals
    QLineEdit *season = nullptr;   ///< `HSea`
    QLineEdit *club = nullptr;     ///< `HClu`
    QLineEdit *apps = nullptr;     ///< `HApp`
    QLineEdit *goals = nullptr;    ///< `HGoa`
    QPushButton *add = nullptr;    ///< `HAdd`
    QPushButton *remove = nullptr; ///< `HDel`
};

/// The working copy of a person's history on the player screen. Rows are
/// edited as texts; only the player confirm turns them into records.
class HistoryEditor : public QObject
{
    Q_OBJECT

public:
    HistoryEditor(const HistoryWidgets &widgets, QObject *parent = nullptr);

    void setPrompter(Prompter *prompter) { mPrompter = prompter; }

    /// Shows `rows`, empties the edit boxes and clears the changed flag.
    void load(const QList<HistoryRow> &rows);
    /// The rows as the list holds them, in list order.
    QList<HistoryRow> rows() const;

    /// True once the list or a selected row's boxes were edited since the load.
    bool isChanged() const { return mChanged; }
    void setChanged(bool changed) { mChanged = changed; }

    /// The row the edit boxes act on, or -1.
    int selectedRow() const;

Q_SIGNALS:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void HistListSelect();
    /// Leaving `HSea`: checks the year and rebuilds the row's season; false
    /// when the text was refused and the focus must stay.
    bool HSeaExit();
    void HCluChange();
    void HAppChange();
    void HGoaChange();
    void HAddClick();
    void HDelClick();

    QTreeWidgetItem *selectedItem() const;
    void setColumn(int column, const QString &text);
    void markChanged();

    HistoryWidgets mW;
    Prompter *mPrompter = nullptr;
    bool mChanged = false;
    static constexpr int ClubWidth = 128;
    int mDesignWidth = 0;
};

} // namespace kx3
