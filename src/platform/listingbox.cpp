#include "listingbox.h"

#include <QTextCursor>
#include <QTextDocument>

namespace rt {

ListingBox::ListingBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!writing_)
            edited_ = true;
    });
}

QString ListingBox::Text() const
{
    if (!edited_)
        return text_;
    QString shown = toPlainText();
    shown.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return shown;
}

void ListingBox::setText(const QString &text)
{
    if (!edited_ && text == text_)
        return;
    writing_ = true;
    // The listing grows by appending a piece to the whole text and writing it back. Inserting
    // only the new tail keeps that linear instead of re-laying out every line for each piece.
    // A text ending in CR is rebuilt whole, since its CR and a leading LF of the tail are one
    // line break together.
    const bool appends = !edited_ && !text_.isEmpty() && text.size() > text_.size()
        && !text_.endsWith(QLatin1Char('\r')) && text.startsWith(text_);
    if (appends) {
        QTextDocument *doc = document();
        // Appends must not pile up undo steps over a long search; a full write clears them too.
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text.mid(text_.size()));
        doc->setUndoRedoEnabled(true);
    } else {
        // Replacing the document's content through a cursor, without undo steps, costs a third of
        // setPlainText, and a search writes the listing for every candidate. As setPlainText
        // does, the caret and the view go back to the start.
        QTextDocument *doc = document();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc);
        cursor.select(QTextCursor::Document);
        QString shown = text;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        cursor.insertText(shown);
        doc->setUndoRedoEnabled(true);
        moveCursor(QTextCursor::Start);
    }
    text_ = text;
    edited_ = false;
    writing_ = false;
}

} // namespace rt
