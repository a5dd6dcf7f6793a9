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
    const bool documentIsShown = !documentEdited_;
    if (documentIsShown && text == shown_)
        return;
    writing_ = true;
    QTextDocument *doc = document();
    // Appends must not pile up undo steps over a long search; a full write clears them too.
    doc->setUndoRedoEnabled(false);
    // The listing grows by appending a piece to the whole text and writing it back. Inserting
    // only the new tail keeps that linear instead of re-laying out every line for each piece.
    // A text ending in CR is rebuilt whole, since its CR and a leading LF of the tail are one
    // line break together.
    const bool appends = documentIsShown && !shown_.isEmpty() && text.size() > shown_.size()
        && !shown_.endsWith(QLatin1Char('\r')) && text.startsWith(shown_);
    QTextCursor cursor(doc);
    if (appends) {
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text.mid(shown_.size()));
    } else {
        // Replacing the document's content through a cursor, without undo steps, costs a third of
        // setPlainText, and a search's slice ends with a new listing. As setPlainText does, the
        // caret and the view go back to the start.
        cursor.select(QTextCursor::Document);
        QString shown = text;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        cursor.insertText(shown);
    }
    doc->setUndoRedoEnabled(true);
    documentEdited_ = false;
    if (!appends)
        moveCursor(QTextCursor::Start);
    shown_ = text;
    writing_ = false;
}

} // namespace rt
