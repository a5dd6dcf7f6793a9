#pragma once

#include "controls/framepacer.h"

#include <QPlainTextEdit>
#include <QString>

#include <string>
#include <string_view>

namespace rt {

// A multi-line text box whose Text is exactly what was last written to it, CR LF included
// (QPlainTextEdit turns CR LF into block breaks). After the user edits it, Text is what the user
// sees, with CR LF line breaks. While a pacer lets the box lag, what it shows catches up at the
// next frame.
class ListingBox : public QPlainTextEdit, public PacedView {
    Q_OBJECT
public:
    explicit ListingBox(QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);
    // What the box shows, with plain line feeds and behind during a search, is
    // QPlainTextEdit::toPlainText(); written only through the Text.
    QString toPlainText() const = delete;
    void setPlainText(const QString &) = delete;
    void appendPlainText(const QString &) = delete;
    // The same for UTF-8 text, as the analysis builds its listing: the conversion waits until
    // somebody reads or sees it.
    void setText(std::string_view utf8);

protected:
    void showValues() override;
    // Ctrl+Tab and Ctrl+Shift+Tab move on as well, as they do out of any text area.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The Text the program wrote, in whichever form it came last.
    mutable QString text_;
    mutable std::string utf8_;
    mutable bool utf8Newer_ = false;
    // The user's edit is the Text: the program has not written since.
    bool edited_ = false;
    // The document holds the user's edit rather than what the program last put there.
    bool documentEdited_ = false;
    // What the program last put into the document: the same Text again leaves the document, its
    // caret and its view as they are.
    QString shown_;
    // Set while the box's document is filled, so that only the user's edits count as edits.
    bool writing_ = false;
};

} // namespace rt
