#pragma once

class QString;
class QWidget;

// The shared modal message: the text and an OK button. Returns when the user closes it.
void showMessageDialog(QWidget* pclParent, const QString& strText);

// The shared modal question: the text, CANCEL and OK. True only when the user chose OK; closing
// the dialog or pressing Escape counts as CANCEL.
bool showQuestionDialog(QWidget* pclParent, const QString& strText);

// Gives both widgets the fixed width of the wider of their size hints.
void setSameWidth(QWidget* pclFirst, QWidget* pclSecond);
