#include "chatwindow/send_text_box.h"

SendTextBox::SendTextBox(QWidget* parent) : QLineEdit(parent) {}
