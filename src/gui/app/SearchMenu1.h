#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class SearchMenu1;
}

namespace kx3 {

/// The main search menu: players, staff, clubs and national teams.
class SearchMenu1 : public QWidget
{
    Q_OBJECT

public:
    explicit SearchMenu1(QWidget *parent = nullptr);
    ~SearchMenu1() override;

    void focusSearch();
    /// "Exit" ends the program; any other caption returns to the editor.
    QString exitCaption() const;
    void setExitCaption(const QString &caption);

Q_SIGNALS:
    void otherMenuRequested();
    void exitRequested();

private:
    std::unique_ptr<Ui::SearchMenu1> mUi;
};

} // namespace kx3
