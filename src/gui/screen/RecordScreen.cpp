#include "RecordScreen.h"

#include "gui/widgets/Prompter.h"
#include "gui/widgets/BoxHelpers.h"

namespace kx3 {

void RecordScreen::showRefusal(QWidget *box, const QString &message)
{
    if (!box) {
        mContext.prompter.information(message);
        return;
    }
    focusBox(box);
    mContext.prompter.error(message);
}

} // namespace kx3
