#pragma once
// Documents are 8-bit text with CR LF line breaks; the text control holds Unicode
// text whose lines are blocks. Every byte 0..255 stands for the character of the same
// code (Latin-1), both ways, so that any file comes back unchanged.

#include <QString>
#include <QTextDocument>
#include <cstddef>
#include <QStringView>
#include <string>
#include <string_view>

// The control's text for document bytes: CR LF (and a lone CR or LF) becomes a line
// break, every other byte the character of its code.
QString ControlTextFromDocument(std::string_view bytes);

// Document bytes for the control's raw text, whose line breaks are U+2029: each line
// break becomes CR LF, every character up to 255 its byte. Characters above 255 do not
// occur in the control (MemoControl keeps them out); should one appear, it is '?'.
std::string DocumentFromControlText(QStringView raw);

// Text that the user brings into the control (typed, pasted, dropped): line breaks of
// any kind become '\n', characters above 255 become '?'.
QString Latin1Input(QStringView text);

// The size of the control's text as document bytes: its characters without the final
// paragraph mark, and a second byte for every line break.
inline std::size_t DocumentSize(const QTextDocument& text) {
  return static_cast<std::size_t>(text.characterCount() - 1 + text.blockCount() - 1);
}
