#pragma once
// The note document is stored as RTF. The writer keeps the text, the character
// formatting (font family and size, colour, background, bold, italic, underline,
// strike-out) and the paragraphs with their alignment of a QTextDocument; the
// reader reads that back and also RTF as a Windows rich-edit control writes it.

#include <QByteArray>

class QTextDocument;

namespace platform {

// The whole document as RTF. Characters outside ASCII are written as \uN with an
// ASCII fallback, so nothing depends on a code page.
QByteArray WriteRtf(const QTextDocument& doc);

// True when the bytes begin (after white space or a byte-order mark) with "{\rtf".
bool LooksLikeRtf(const QByteArray& bytes);

// Replaces the document's content with the RTF document. Damaged input (unbalanced
// braces, huge numbers, deep nesting, truncated escapes) reads as far as it makes
// sense and never fails; returns false only when the bytes are not RTF at all.
bool ReadRtf(const QByteArray& bytes, QTextDocument& doc);

// Replaces the content with a stored note: RTF when it looks like RTF, else plain
// text (UTF-8 when valid, else GBK). Empty bytes give an empty document.
void LoadNoteDocument(const QByteArray& bytes, QTextDocument& doc);

} // namespace platform
