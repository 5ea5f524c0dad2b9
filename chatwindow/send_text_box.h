#pragma once

#include <QLineEdit>

// The chat window's entry box (SendTxt): the one-line command line.
class SendTextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit SendTextBox(QWidget* parent);
};
