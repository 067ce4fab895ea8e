#include "Prompter.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

QString boxList(const QStringList &lines, int shown)
{
    QStringList kept = lines.mid(0, shown);
    if (lines.size() > shown)
        kept << QStringLiteral("… and %1 more").arg(lines.size() - shown);
    return kept.join(QLatin1Char('\n'));
}

bool storeAnyway(Prompter &prompter, const QStringList &advice)
{
    if (advice.isEmpty())
        return true;
    constexpr int Shown = 20;
    QStringList named = advice.mid(0, Shown);
    if (advice.size() > Shown)
        named << QStringLiteral("… and %1 more").arg(advice.size() - Shown);
    return prompter.question(named.join(QStringLiteral(".\n"))
                             + QStringLiteral(". Store anyway?"));
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

void QMessageBoxPrompter::error(const QString &text, const QString &detail)
{
    QMessageBox box(QMessageBox::Warning, caption(), messageBoxText(text), QMessageBox::Ok,
                    mParent);
    box.setInformativeText(detail);
    box.exec();
}

void QMessageBoxPrompter::problems(const QString &text, const QStringList &problems)
{
    QMessageBox box(QMessageBox::Warning, caption(), messageBoxText(text), QMessageBox::Ok,
                    mParent);
    box.setDetailedText(problems.join(QLatin1Char('\n')));
    // The box's own caption for its details says nothing of what they are.
    for (QAbstractButton *button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole)
            button->setText(QStringLiteral("Show problems"));
    }
    box.exec();
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

Prompter::Choice QMessageBoxPrompter::questionWithExtra(const QString &text, const QString &detail,
                                                        const QString &extra)
{
    QMessageBox box(QMessageBox::Question, caption(), messageBoxText(text),
                    QMessageBox::Yes | QMessageBox::No, mParent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.setInformativeText(messageBoxText(detail));
    const QAbstractButton *own =
        extra.isEmpty() ? nullptr : box.addButton(extra, QMessageBox::ActionRole);
    box.exec();
    if (own && box.clickedButton() == own)
        return Choice::Extra;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Choice::Yes : Choice::No;
}

QString QMessageBoxPrompter::chooseFile(bool saving, const QString &caption, const QString &filter,
                                        const QString &suffix)
{
    QFileDialog chooser(mParent, caption);
    chooser.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    chooser.setNameFilters({filter, QStringLiteral("All files (*)")});
    chooser.setDefaultSuffix(suffix);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return QString();
    return chooser.selectedFiles().constFirst();
}

QString QMessageBoxPrompter::askText(const QString &caption, const QString &label,
                                     const QString &initial, bool *ok)
{
    return QInputDialog::getText(mParent, caption, label, QLineEdit::Normal, initial, ok);
}

} // namespace kx3
