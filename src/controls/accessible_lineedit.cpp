// The accessible object of a single-line text box. Qt's own (Qt 6.4) reports every text attribute
// run as empty, and Orca, which splits what it speaks by those runs, says "7 selected" for a box
// that holds "75"; nor can it say that a caption box labels the box beside it.
#include "controls/accessible_lineedit.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>

namespace rt {

namespace {

class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit *edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface && !edit()->isReadOnly())
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value && !edit()->isReadOnly())
            edit()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = edit()->isReadOnly();
        s.editable = !edit()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto rels = QAccessibleWidget::relations(match);
        auto add = [&](const char *property, QAccessible::Relation relation) {
            if (!(match & relation))
                return;
            const auto other = edit()->property(property).value<QPointer<QWidget>>();
            if (other)
                rels.append({QAccessible::queryAccessibleInterface(other), relation});
        };
        add(LabelledByProperty, QAccessible::Label);
        add(LabelForProperty, QAccessible::Labelled);
        return rels;
    }

    // Text
    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = *start + int(edit()->selectedText().size());
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        const QString all = shown();
        if (start < 0 || end > all.size() || start > end)
            return {};
        return all.mid(start, end - start);
    }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int offset) const override
    {
        const QString all = shown();
        if (offset < 0 || offset >= all.size())
            return {};
        const QFontMetrics metrics = edit()->fontMetrics();
        const QRect inside = edit()->contentsRect().marginsRemoved(edit()->textMargins());
        const QRect line = QStyle::alignedRect(edit()->layoutDirection(), edit()->alignment(),
                                               QSize(metrics.horizontalAdvance(all), metrics.height()), inside);
        const int x = line.left() + metrics.horizontalAdvance(all.left(offset));
        const QRect character(x, line.top(), metrics.horizontalAdvance(all.at(offset)), line.height());
        return QRect(edit()->mapToGlobal(character.topLeft()), character.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        for (int i = 0; i < characterCount(); ++i)
            if (characterRect(i).contains(point))
                return i;
        return -1;
    }
    void scrollToSubstring(int start, int) override { edit()->setCursorPosition(start); }
    QString attributes(int, int *start, int *end) const override
    {
        // One run over the whole text: the box has one font and one colour.
        *start = 0;
        *end = characterCount();
        return {};
    }

    // EditableText
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        QString all = shown();
        if (edit()->isReadOnly() || start < 0 || end > all.size() || start > end)
            return;
        all.replace(start, end - start, text);
        edit()->setText(all);
    }

private:
    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
    // What the box shows: a screen reader reads the window as a person sees it.
    QString shown() const { return edit()->QLineEdit::text(); }
};

} // namespace

QAccessibleInterface *LineEditAccessibleFor(QObject *object)
{
    auto *edit = qobject_cast<QLineEdit *>(object);
    return edit ? new LineEditAccessible(edit) : nullptr;
}

} // namespace rt
