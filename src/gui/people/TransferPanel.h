#pragma once

#include "gui/screen/RecordScreen.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TransferPanel;
}

namespace kx3 {

class PersonScreen;

/// The transfer menu (`pnTransfer` on the main search menu): moves the person
/// of a person screen to the club chosen in the club search, or releases him
/// on a free transfer. Either way the person screen is then confirmed and
/// shown again, so its other pending edits are kept and its misc lines follow
/// the new club.
class TransferPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TransferPanel(ScreenContext &context, QWidget *parent = nullptr);
    ~TransferPanel() override;

    /// Prepares the panel for the person `screen` shows.
    void start(RecordScreen *screen);
    /// A club chosen in the club search while the panel is shown.
    void chooseTarget(qint64 offset);

    void ConfirmTransferClick();
    void FreeTransferClick();

Q_SIGNALS:
    /// The transfer or release ran: the person screen is to be shown.
    void finished();
    /// The person screen holds a box it cannot store: it is to be shown with
    /// that box in focus, and nothing has moved.
    void personScreenRefused();

private:
    /// The end of both operations: the person screen confirmed and re-shown.
    /// Confirms the person screen, and with it the move of `action` (none:
    /// nothing moved) as one step.
    void confirmPersonScreen(const QString &action = QString());
    std::optional<int> person() const;

    ScreenContext &mContext;
    std::unique_ptr<Ui::TransferPanel> mUi;
    PersonScreen *mScreen = nullptr;
    /// The person's club when the panel opened (a negative value: none).
    qint64 mSource = -1;
    /// The chosen club's index; -2 until one is chosen.
    qint64 mTarget = -2;
};

} // namespace kx3
