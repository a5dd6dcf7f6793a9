#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace rt {

// A multi-line text box whose Text is exactly what was last written to it, CR LF included
// (QPlainTextEdit turns CR LF into block breaks). After the user edits it, Text is what the user
// sees, with CR LF line breaks.
class ListingBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ListingBox(QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);

private:
    QString text_;
    bool edited_ = false;
    // Set while setText fills the box, so that only the user's edits count as edits.
    bool writing_ = false;
};

} // namespace rt
