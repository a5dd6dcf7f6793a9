#include "platform/textbox.h"

#include <QSignalBlocker>

namespace rt {

TextBox::TextBox(const QString &text, QWidget *parent) : QLineEdit(text, parent), text_(QLineEdit::text())
{
    // Connected before anyone else, so that every other receiver of an edit reads the new Text.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &shown) {
        if (!showing_ && !shown.isSharedWith(text_))
            text_ = shown;
    });
}

void TextBox::setText(const QString &text)
{
    // What the line edit would keep of it: its maximum length cuts a longer text.
    const QString kept = text.left(maxLength());
    if (kept == text_)
        return;
    if (!deferToNextFrame()) {
        QLineEdit::setText(kept);
        text_ = QLineEdit::text();
        return;
    }
    text_ = kept;
    emit textChanged(text_);
}

void TextBox::showValues()
{
    // The change was raised when the Text was written; showing it raises nothing more.
    showing_ = true;
    {
        const QSignalBlocker quiet(this);
        QLineEdit::setText(text_);
    }
    showing_ = false;
}

} // namespace rt
