#pragma once
// The code page of the settings and list files is GBK (two bytes per Chinese
// character), lines ended by CR LF. Conversion goes through iconv.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// Decodes GBK bytes. A byte sequence that is not GBK becomes U+FFFD, one per
// offending byte, so damaged files still read.
QString DecodeGbk(const QByteArray& bytes);

// Decodes bytes of any charset iconv knows ("GBK", "CP1252", "UTF-8", ...), with
// U+FFFD for bytes that do not belong; Latin-1 when iconv does not know the name.
QString DecodeCharset(const QByteArray& bytes, const char* charset);

// Encodes text as GBK. Fails (out untouched) when a character has no GBK form.
bool EncodeGbk(const QString& text, QByteArray& out);

// Reads a GBK text file as lines; CR LF, LF and CR alone all end a line, and a
// last line without an ending counts. nullopt when the file cannot be read.
std::optional<QStringList> ReadGbkLines(const QString& path);

// Replaces the file with the lines, each ended by CR LF, through a temporary file
// so a failed write never leaves half a file. Refuses (false, error set, nothing
// written) text that GBK cannot represent.
bool WriteGbkLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace platform
