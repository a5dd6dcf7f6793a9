#include "controls/textbox.h"

#include "controls/runtime.h"
#include "rules/numrules.h"

#include <QMetaMethod>
#include <QSignalBlocker>

#include <cmath>
#include <cstdint>

namespace rt {

namespace {

// Numbers whose Str reads back with Val as exactly themselves, and that no line edit cuts.
bool readsBack(double v)
{
    // Whole by a round trip through an integer, which the magnitude makes safe.
    return std::fabs(v) < 1e15 && v == static_cast<double>(static_cast<std::int64_t>(v))
        && !(v == 0 && std::signbit(v));
}

} // namespace

TextBox::TextBox(const QString &text, QWidget *parent) : QLineEdit(text, parent), text_(QLineEdit::text())
{
    // Connected before anyone else, so that every other receiver of an edit reads the new Text.
    ownConnection_ = true;
    connect(this, &QLineEdit::textChanged, this, [this](const QString &shown) {
        if (showing_)
            return;
        if (!shown.isSharedWith(text_)) {
            text_ = shown;
            textPending_ = holdsNumber_ = false;
        }
        runChangeProcedure();
    });
    ownConnection_ = false;
}

void TextBox::connectNotify(const QMetaMethod &signal)
{
    if (!ownConnection_ && signal == QMetaMethod::fromSignal(&QLineEdit::textChanged))
        ++textListeners_;
}

void TextBox::disconnectNotify(const QMetaMethod &signal)
{
    // A disconnection from every signal at once (an invalid method) may leave a listener; counting
    // one too many only costs a text now and then.
    if (textListeners_ > 0 && signal == QMetaMethod::fromSignal(&QLineEdit::textChanged))
        --textListeners_;
}

QString TextBox::Text() const
{
    if (textPending_) {
        const std::string made = Str(number_);
        text_ = QString::fromLatin1(made.data(), static_cast<qsizetype>(made.size()));
        textPending_ = false;
    }
    return text_;
}

double TextBox::Val() const
{
    return holdsNumber_ ? number_ : rt::Val(QStringView(Text()));
}

void TextBox::setText(const QString &text)
{
    // What the line edit would keep of it: its maximum length cuts a longer text.
    const QString kept = text.left(maxLength());
    if (kept == Text())
        return;
    holdsNumber_ = false;
    if (!deferToNextFrame()) {
        text_ = kept;
        QLineEdit::setText(kept);
        text_ = QLineEdit::text();
        return;
    }
    text_ = kept;
    raiseChange();
}

void TextBox::setStr(double v)
{
    // Str of a number that reads back is at most 16 characters; anything else goes as text.
    if (!readsBack(v) || maxLength() < 16 || !deferToNextFrame()) {
        const std::string made = Str(v);
        setText(QString::fromLatin1(made.data(), static_cast<qsizetype>(made.size())));
        if (readsBack(v) && Text() == QString::fromLatin1(made.data(), static_cast<qsizetype>(made.size()))) {
            holdsNumber_ = true;
            number_ = v;
        }
        return;
    }
    // Str gives equal texts exactly for equal numbers among those that read back.
    if (holdsNumber_ && number_ == v)
        return;
    if (!holdsNumber_ && Text() == QString::fromStdString(Str(v)))
        return;
    number_ = v;
    holdsNumber_ = textPending_ = true;
    raiseChange();
}

void TextBox::raiseChange()
{
    // textChanged carries the text; it is made only for those who listen to it.
    if (textListeners_ == 0) {
        runChangeProcedure();
        return;
    }
    const QString written = Text();
    runChangeProcedure();
    emit textChanged(written);
}

void TextBox::showValues()
{
    // The change was raised when the Text was written; showing it raises nothing more.
    showing_ = true;
    {
        const QSignalBlocker quiet(this);
        QLineEdit::setText(Text());
    }
    showing_ = false;
}

} // namespace rt
