#pragma once
// The status line of the search and add windows: a small animated icon and a
// coloured text saying whether the last step failed, succeeded or still runs.

#include <QString>

class QLabel;
class QMovie;

enum class MarkTag { Error = 0, Ok = 1, Busy = 2 };

// The text style sheet and the icon of a tag; empty for any other value.
QString markTagStyle(MarkTag tag);
QString markTagIcon(MarkTag tag);

// Shows icon and text, sets both for the tag and restarts the movie (which
// the icon label shows). An unknown tag only restarts the movie.
void showMarkStatus(QLabel *icon, QLabel *text, QMovie *movie, MarkTag tag, const QString &message);
