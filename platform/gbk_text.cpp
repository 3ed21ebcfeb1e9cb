#include "gbk_text.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <iconv.h>

namespace platform {

namespace {

// One iconv conversion descriptor, closed at scope exit.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

QString DecodeGbk(const QByteArray& bytes)
{
    return DecodeCharset(bytes, "GBK");
}

QString DecodeCharset(const QByteArray& bytes, const char* charset)
{
    Iconv cv("UTF-16LE", charset);
    if (!cv.ok())
        return QString::fromLatin1(bytes);
    QString result;
    result.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cv.get(), &in, &inLeft, &out, &outLeft);
        result.append(reinterpret_cast<const QChar*>(buffer), static_cast<qsizetype>((out - buffer) / 2));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or a truncated sequence at the end: mark the byte and go on.
            result.append(QChar::ReplacementCharacter);
            ++in;
            --inLeft;
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return result;
}

bool EncodeGbk(const QString& text, QByteArray& out)
{
    Iconv cv("GBK", "UTF-16LE");
    if (!cv.ok())
        return false;
    QByteArray result;
    result.reserve(text.size() * 2);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char buffer[4096];
    while (inLeft > 0) {
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cv.get(), &in, &inLeft, &o, &outLeft);
        result.append(buffer, o - buffer);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG)
            return false;
    }
    out = result;
    return true;
}

std::optional<QStringList> ReadGbkLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = DecodeGbk(f.readAll());
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

bool WriteGbkLines(const QString& path, const QStringList& lines, QString* error)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        QByteArray encoded;
        if (!EncodeGbk(line, encoded)) {
            if (error)
                *error = QStringLiteral("“%1”含有 GBK 无法表示的字符").arg(line);
            return false;
        }
        bytes += encoded;
        bytes += "\r\n";
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace platform
