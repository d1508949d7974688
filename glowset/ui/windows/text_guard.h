// Where the operator types text for the sign: characters with a well-known
// 8-bit equivalent are converted as they are typed (and the operator is
// told what was converted); characters the sign cannot show are refused
// when the text is about to be sent or kept, with a message naming them.
#pragma once

#include <QString>

#include <functional>

class QLineEdit;
class QTextCursor;
class QTextEdit;
class QWidget;

namespace glowset {

class Dialogs;

// Words for the operator about what was converted.
using ConversionNotice = std::function<void(const QString&)>;

// Converts as typed in a line box.
void guardTypedText(QLineEdit* box, ConversionNotice tell);
// Converts the characters of a rich-text editor's range [position,
// position + count) in place, keeping each one's format; returns the
// range's new length.
int convertTypedRange(QTextEdit* editor, int position, int count, const ConversionNotice& tell);
// Converts as typed in a rich-text editor whose changes nobody else
// watches.
void guardTypedText(QTextEdit* editor, ConversionNotice tell);
// Puts text into a guarded editor as it stands: what the sign sent back,
// for example, is shown unconverted.
void setTextUnchecked(QTextEdit* editor, const QString& text);

// The characters of the text that cannot go to the sign, named; "" when none.
QString refusedCharacters(const QString& text);
// True when the text can go to the sign; otherwise says why in a message
// box (`action` ends "… cannot be <action>:") and returns false.
bool acceptForSign(const QString& text, const QString& action, QWidget* owner, Dialogs& dialogs);

}  // namespace glowset
