#pragma once

#include "gui/widgets/Prompter.h"

#include <QList>
#include <QStringList>
#include <QTest>

namespace kx3::test {

/// Answers message boxes from a queue and records every text shown. A
/// question with no answer queued fails the running test and is answered
/// with the harmless choice (No / Cancel).
class ScriptedPrompter : public Prompter
{
public:
    void queue(Answer answer) { mAnswers.append(answer); }
    void queue(bool yes) { mAnswers.append(yes ? Answer::Yes : Answer::No); }
    /// The next file dialog chooses `path`; with none queued it chooses none.
    void queueFile(const QString &path) { mFiles.append(path); }
    /// The next text box is answered `text`; one with none queued fails the
    /// running test and is cancelled.
    void queueText(const QString &text) { mTypedTexts.append(text); }

    /// Every text shown so far, information and questions alike, in order.
    const QStringList &texts() const { return mTexts; }
    QString lastText() const { return mTexts.isEmpty() ? QString() : mTexts.last(); }
    int pendingAnswers() const { return int(mAnswers.size() + mTypedTexts.size()); }
    void clear()
    {
        mTexts.clear();
        mErrors.clear();
        mDetail.clear();
        mAnswers.clear();
        mFiles.clear();
        mTypedTexts.clear();
    }

    /// The texts shown as refusals (warning boxes), in order.
    const QStringList &errors() const { return mErrors; }
    /// The detail shown under the last message that had one.
    QString lastDetail() const { return mDetail; }

    using Prompter::information;
    void information(const QString &text, const QString &detail) override
    {
        mTexts.append(text);
        if (!detail.isEmpty())
            mDetail = detail;
    }
    void error(const QString &text) override
    {
        mTexts.append(text);
        mErrors.append(text);
    }
    void error(const QString &text, const QString &detail) override
    {
        error(text);
        mDetail = detail;
    }

    bool question(const QString &text) override
    {
        mTexts.append(text);
        const auto answer = take(text, Answer::No);
        if (answer == Answer::Cancel)
            QTest::qFail("Cancel queued for a Yes/No question", __FILE__, __LINE__);
        return answer == Answer::Yes;
    }

    Answer questionWithCancel(const QString &text) override
    {
        mTexts.append(text);
        return take(text, Answer::Cancel);
    }

    /// Cancel, queued, presses the extra button.
    Choice questionWithExtra(const QString &text, const QString &detail, const QString &) override
    {
        mTexts.append(text);
        mDetail = detail;
        const Answer answer = take(text, Answer::No);
        return answer == Answer::Yes  ? Choice::Yes
               : answer == Answer::No ? Choice::No
                                      : Choice::Extra;
    }

    QString chooseFile(bool, const QString &, const QString &, const QString &) override
    {
        return mFiles.isEmpty() ? QString() : mFiles.takeFirst();
    }

    /// The box's label counts as a text shown.
    QString askText(const QString &, const QString &label, const QString &, bool *ok) override
    {
        mTexts.append(label);
        *ok = !mTypedTexts.isEmpty();
        if (!*ok) {
            const QByteArray message = "Unexpected text box: " + label.toUtf8();
            QTest::qFail(message.constData(), __FILE__, __LINE__);
            return QString();
        }
        return mTypedTexts.takeFirst();
    }

private:
    Answer take(const QString &text, Answer fallback)
    {
        if (mAnswers.isEmpty()) {
            const QByteArray message = "Unexpected question: " + text.toUtf8();
            QTest::qFail(message.constData(), __FILE__, __LINE__);
            return fallback;
        }
        return mAnswers.takeFirst();
    }

    QStringList mTexts;
    QStringList mErrors;
    QString mDetail;
    QList<Answer> mAnswers;
    QStringList mFiles;
    QStringList mTypedTexts;
};

} // namespace kx3::test
