#pragma once
// The program's short messages and yes/no questions. GUI thread only.

#include <QString>

void Warn(QString title, QString text);
void Hint(QString title, QString text);
// Note the order: text first. An empty title shows "提示".
void Hint2(QString text, QString title);
// Returns at once; the box deletes itself when closed. An empty title shows tr("Tip").
void hint_non_modal(QString title, QString text);
// Yes/No with No as the default and escape button; true only when Yes was pressed.
bool AreYouSure(QString text);
bool AreYouSureTitle(QString text, QString title);
