#pragma once
// A one-bit edit box: it takes the characters "0" and "1" and control
// characters below code 21 (backspace); any other character is dropped.
#include <QLineEdit>

class CBoolEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CBoolEdit(QWidget* parent = nullptr);
    static bool accepts(QChar c);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};
