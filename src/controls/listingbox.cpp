#include "controls/listingbox.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace rt {

ListingBox::ListingBox(QWidget *parent) : QPlainTextEdit(parent)
{
    // As in the classic text box, Tab and Shift+Tab move on to the next control.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!writing_)
            edited_ = documentEdited_ = true;
    });
}

void ListingBox::keyPressEvent(QKeyEvent *event)
{
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString ListingBox::Text() const
{
    if (edited_) {
        QString shown = QPlainTextEdit::toPlainText();
        shown.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return shown;
    }
    if (utf8Newer_) {
        text_ = QString::fromStdString(utf8_);
        utf8Newer_ = false;
    }
    return text_;
}

void ListingBox::setText(const QString &text)
{
    if (!edited_ && !utf8Newer_ && text == text_)
        return;
    text_ = text;
    utf8Newer_ = false;
    edited_ = false;
    if (!deferToNextFrame())
        showValues();
}

void ListingBox::setText(std::string_view utf8)
{
    // No comparison with what the box holds: showing compares with what is on show anyway.
    utf8_.assign(utf8);
    utf8Newer_ = true;
    edited_ = false;
    if (!deferToNextFrame())
        showValues();
}

void ListingBox::showValues()
{
    // The user's edit is on show already.
    if (edited_)
        return;
    const QString text = Text();
    if (!documentEdited_ && text == shown_)
        return;
    writing_ = true;
    QTextDocument *doc = document();
    // The program's write is no step the user could undo, and the document keeps no copy of the
    // listing it replaces.
    doc->setUndoRedoEnabled(false);
    // Replacing the document's content through a cursor, without undo steps, costs a third of
    // setPlainText, and a search's slice ends with a new listing. As setPlainText does, the caret
    // and the view go back to the start.
    QTextCursor cursor(doc);
    cursor.select(QTextCursor::Document);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cursor.insertText(shown);
    doc->setUndoRedoEnabled(true);
    documentEdited_ = false;
    moveCursor(QTextCursor::Start);
    shown_ = text;
    writing_ = false;
}

} // namespace rt
