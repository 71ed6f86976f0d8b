#pragma once
// The record labels over a stored picture have fixed places and a large bold
// font; a long text (a trigger such as "Emergency Button") would be cut at both
// ends. Such a text is shown in a smaller font instead, never below 8 points,
// and with narrower letters when even 8 points is too wide.
class QLabel;
class QString;

// Shows `text` in `label`, at the label's own font size when it fits its width,
// else at the largest size that fits (narrowed at 8 points if need be).
void SetFittingText(QLabel* label, const QString& text);
