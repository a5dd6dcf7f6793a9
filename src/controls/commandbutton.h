#pragma once

#include <QPushButton>

namespace rt {

// A command button as the classic desktop has it: with the focus on it, Return and Enter press it
// as Space does. A QPushButton answers Return only as a dialog's default button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace rt
