#include "Prompter.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace kx3 {

namespace {

QString caption()
{
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QStringLiteral("KX3 Pre-Data Editor") : title;
}

} // namespace

QString messageBoxText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void QMessageBoxPrompter::information(const QString &text, const QString &detail)
{
    QMessageBox box(QMessageBox::Information, caption(), messageBoxText(text), QMessageBox::Ok,
                    mParent);
    box.setInformativeText(detail);
    box.exec();
}

void QMessageBoxPrompter::error(const QString &text)
{
    QMessageBox::warning(mParent, caption(), messageBoxText(text), QMessageBox::Ok);
}

bool QMessageBoxPrompter::question(const QString &text)
{
    // Closing the box without choosing picks No, the button with the No role.
    return QMessageBox::question(mParent, caption(), messageBoxText(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

Prompter::Answer QMessageBoxPrompter::questionWithCancel(const QString &text)
{
    const auto button = QMessageBox::question(
        mParent, caption(), messageBoxText(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    switch (button) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

} // namespace kx3
