#include "rtf.h"

#include "gbk_text.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>

namespace platform {

// ---------------------------------------------------------------------------
// Writer

namespace {

QString firstFamily(const QTextCharFormat& f)
{
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty())
            return families.first();
    }
    if (f.hasProperty(QTextFormat::FontFamily))
        return f.property(QTextFormat::FontFamily).toString();
    return {};
}

QColor brushColor(const QTextCharFormat& f, QTextFormat::Property p)
{
    if (!f.hasProperty(p))
        return {};
    const QBrush b = f.brushProperty(p);
    return b.style() == Qt::NoBrush ? QColor() : b.color();
}

// Appends text with RTF escapes; everything outside ASCII becomes \uN?.
void appendEscaped(QByteArray& out, const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == 0x2028 || u == '\n' || u == 0x2029) {
            out += "\\line ";
        } else if (u == 0x00A0) {
            out += "\\~";
        } else if (u == QChar::ObjectReplacementCharacter) {
            // Embedded objects are not kept.
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else {
            out += "\\u";
            out += QByteArray::number(int(short(u)));
            out += '?';
        }
    }
}

template <typename T>
int indexOrAdd(QList<T>& list, const T& value)
{
    const qsizetype i = list.indexOf(value);
    if (i >= 0)
        return int(i);
    list.append(value);
    return int(list.size() - 1);
}

} // namespace

QByteArray WriteRtf(const QTextDocument& doc)
{
    // Fonts and colours used by the document, in order of first use.
    QStringList fonts{doc.defaultFont().family()};
    QList<QColor> colors;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = firstFamily(f);
            if (!family.isEmpty())
                indexOrAdd(fonts, family);
            for (auto p : {QTextFormat::ForegroundBrush, QTextFormat::BackgroundBrush}) {
                const QColor c = brushColor(f, p);
                if (c.isValid())
                    indexOrAdd(colors, QColor(c.rgb()));
            }
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 ";
        appendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl ;";
    for (const QColor& c : colors)
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
               + QByteArray::number(c.blue()) + ";";
    out += "}\n\\viewkind4";

    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out += "\\pard";
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            out += "\\qc";
        else if (a & Qt::AlignRight)
            out += "\\qr";
        else if (a & Qt::AlignJustify)
            out += "\\qj";
        out += ' ';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            QByteArray props;
            const QString family = firstFamily(f);
            if (!family.isEmpty())
                props += "\\f" + QByteArray::number(fonts.indexOf(family));
            if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
                props += "\\fs" + QByteArray::number(qRound(f.fontPointSize() * 2));
            if (f.hasProperty(QTextFormat::FontWeight))
                props += f.fontWeight() >= QFont::DemiBold ? "\\b" : "\\b0";
            if (f.hasProperty(QTextFormat::FontItalic))
                props += f.fontItalic() ? "\\i" : "\\i0";
            if (f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline))
                props += f.fontUnderline() ? "\\ul" : "\\ulnone";
            if (f.hasProperty(QTextFormat::FontStrikeOut))
                props += f.fontStrikeOut() ? "\\strike" : "\\strike0";
            const QColor fg = brushColor(f, QTextFormat::ForegroundBrush);
            if (fg.isValid())
                props += "\\cf" + QByteArray::number(colors.indexOf(QColor(fg.rgb())) + 1);
            const QColor bg = brushColor(f, QTextFormat::BackgroundBrush);
            if (bg.isValid())
                props += "\\highlight" + QByteArray::number(colors.indexOf(QColor(bg.rgb())) + 1);
            if (props.isEmpty()) {
                appendEscaped(out, frag.text());
            } else {
                out += '{' + props + ' ';
                appendEscaped(out, frag.text());
                out += '}';
            }
        }
        // Every paragraph ends with \par; the reader drops the mark that ends the last one.
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

// ---------------------------------------------------------------------------
// Reader

bool LooksLikeRtf(const QByteArray& bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

namespace {

enum class Dest { Text, Skip, FontTable, ColorTable };

struct GroupState {
    Dest dest = Dest::Text;
    QTextCharFormat fmt;
    int uc = 1;       // fallback characters after \uN
    int codePage = 0; // of the current font; 0 = the document's
};

struct FontEntry {
    QString name;
    int codePage = 0;
};

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0; // ANSI, default, symbol: the document's code page
    }
}

QString decodeCodePage(const QByteArray& bytes, int codePage)
{
    switch (codePage) {
    case 936: return DecodeGbk(bytes);
    case 65001: return QString::fromUtf8(bytes);
    case 0:
    case 1252: return DecodeCharset(bytes, "CP1252");
    default: return DecodeCharset(bytes, ("CP" + QByteArray::number(codePage)).constData());
    }
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSkippedDestination(const QByteArray& w)
{
    static const QList<QByteArray> skipped{
        "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf", "footer",
        "footerl", "footerr", "footerf", "footnote", "annotation", "themedata", "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl", "listtable", "listoverridetable", "rsidtbl",
        "generator", "revtbl", "filetbl", "fldinst", "nonshppict", "bkmkstart", "bkmkend", "pgdsctbl",
        "mmathPr", "userprops", "docvar", "xe", "tc", "template", "txe", "atnid", "atnauthor",
        "fchars", "lchars", "pn", "pnseclvl", "falt", "panose", "listtext", "xmlopen", "xmlclose",
        "wgrffmtfilter", "passwordhash", "protusertbl", "objdata", "result"};
    return skipped.contains(w);
}

class RtfReader {
public:
    RtfReader(const QByteArray& bytes, QTextDocument& doc) : in_(bytes), cursor_(&doc) {}

    void run()
    {
        stack_.append(GroupState{});
        qsizetype& i = pos_;
        const qsizetype n = in_.size();
        while (i < n) {
            const char c = in_[i];
            if (c == '{') {
                ++i;
                flushBytes();
                skip_ = 0;
                if (stack_.size() < kMaxDepth)
                    stack_.append(stack_.last());
                else
                    ++overflow_;
            } else if (c == '}') {
                ++i;
                flushBytes();
                skip_ = 0;
                endGroup();
            } else if (c == '\\') {
                ++i;
                control();
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                ++i;
                byte(c);
            }
        }
        flushBytes();
        flushText();
    }

private:
    static constexpr qsizetype kMaxDepth = 256;

    GroupState& top() { return stack_.last(); }
    bool inText() const { return overflow_ == 0 && stack_.last().dest == Dest::Text; }

    void endGroup()
    {
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.size() <= 1)
            return; // unbalanced closing brace: ignore it
        const GroupState leaving = stack_.takeLast();
        if (leaving.dest == Dest::FontTable && top().dest != Dest::FontTable)
            commitFont();
    }

    void control()
    {
        const qsizetype n = in_.size();
        if (pos_ >= n)
            return; // truncated escape at the end
        const char c = in_[pos_];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            const qsizetype start = pos_;
            while (pos_ < n && ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
                ++pos_;
            const QByteArray word = in_.mid(start, std::min<qsizetype>(pos_ - start, 32));
            bool hasParam = false;
            bool negative = false;
            long long value = 0;
            if (pos_ < n && in_[pos_] == '-' && pos_ + 1 < n && in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
                negative = true;
                ++pos_;
            }
            while (pos_ < n && in_[pos_] >= '0' && in_[pos_] <= '9') {
                hasParam = true;
                value = std::min<long long>(value * 10 + (in_[pos_] - '0'), INT_MAX); // saturate
                ++pos_;
            }
            if (pos_ < n && in_[pos_] == ' ')
                ++pos_;
            const int param = int(negative ? -value : value);
            if (skip_ > 0) {
                --skip_;
                if (word != "bin")
                    return;
            }
            controlWord(word, hasParam, param);
            return;
        }
        ++pos_;
        if (c == '\'') {
            int v = 0;
            int digits = 0;
            while (digits < 2 && pos_ < n) {
                const int d = hexDigit(in_[pos_]);
                if (d < 0)
                    break;
                v = v * 16 + d;
                ++pos_;
                ++digits;
            }
            if (digits == 2)
                byte(char(v));
            return;
        }
        if (skip_ > 0) {
            --skip_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}': byte(c); break;
        case '~': textChar(QChar(0x00A0)); break;
        case '_': textChar(QChar(0x2011)); break;
        case '*': starred_ = true; return;
        case '\r':
        case '\n': paragraph(); break;
        case '|':
        case ':':
        case '-':
        default: break;
        }
        starred_ = false;
    }

    void controlWord(const QByteArray& w, bool hasParam, int p)
    {
        const bool starred = starred_;
        starred_ = false;
        GroupState& g = top();

        if (w == "bin") {
            // Binary data: skip exactly its length.
            flushBytes();
            const qsizetype len = hasParam && p > 0 ? p : 0;
            pos_ = std::min(in_.size(), pos_ + len);
            return;
        }
        if (isSkippedDestination(w) || (starred && w != "fldrslt")) {
            flushBytes();
            g.dest = Dest::Skip;
            return;
        }
        if (w == "fonttbl") {
            flushBytes();
            g.dest = Dest::FontTable;
            return;
        }
        if (w == "colortbl") {
            flushBytes();
            g.dest = Dest::ColorTable;
            colorStarted_ = false;
            return;
        }

        if (g.dest == Dest::FontTable) {
            if (w == "f") {
                commitFont();
                fontId_ = p;
            } else if (w == "fcharset") {
                fontCodePage_ = codePageOfCharset(p);
            } else if (w == "cpg") {
                fontCodePage_ = p;
            } else if (w == "u") {
                unicode(p);
            }
            return;
        }
        if (g.dest == Dest::ColorTable) {
            const int v = std::clamp(p, 0, 255);
            if (w == "red") {
                color_.setRed(v);
                colorStarted_ = true;
            } else if (w == "green") {
                color_.setGreen(v);
                colorStarted_ = true;
            } else if (w == "blue") {
                color_.setBlue(v);
                colorStarted_ = true;
            }
            return;
        }
        if (g.dest == Dest::Skip)
            return;

        if (w == "ansicpg") {
            docCodePage_ = p;
        } else if (w == "uc") {
            g.uc = std::clamp(p, 0, 10);
        } else if (w == "u") {
            unicode(p);
        } else if (w == "par" || w == "sect") {
            paragraph();
        } else if (w == "line") {
            textChar(QChar(0x2028));
        } else if (w == "tab") {
            textChar(QLatin1Char('\t'));
        } else if (w == "emdash") {
            textChar(QChar(0x2014));
        } else if (w == "endash") {
            textChar(QChar(0x2013));
        } else if (w == "bullet") {
            textChar(QChar(0x2022));
        } else if (w == "lquote") {
            textChar(QChar(0x2018));
        } else if (w == "rquote") {
            textChar(QChar(0x2019));
        } else if (w == "ldblquote") {
            textChar(QChar(0x201C));
        } else if (w == "rdblquote") {
            textChar(QChar(0x201D));
        } else if (w == "pard") {
            flushBytes();
            align_ = Qt::AlignLeft;
        } else if (w == "ql" || w == "qc" || w == "qr" || w == "qj") {
            flushBytes();
            align_ = w == "qc" ? Qt::AlignHCenter : w == "qr" ? Qt::AlignRight : w == "qj" ? Qt::AlignJustify : Qt::AlignLeft;
        } else {
            formatWord(g, w, hasParam, p);
        }
    }

    void formatWord(GroupState& g, const QByteArray& w, bool hasParam, int p)
    {
        const bool on = !hasParam || p != 0;
        QTextCharFormat f = g.fmt;
        int codePage = g.codePage;
        // \cfN and \highlightN index the colour table, whose entry 0 is "automatic".
        const bool knownColor = p > 0 && p < colors_.size() && colors_[p].isValid();
        if (w == "plain") {
            f = QTextCharFormat();
            codePage = 0;
        } else if (w == "b") {
            f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        } else if (w == "i") {
            f.setFontItalic(on);
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulwave"
                   || w == "ulth") {
            f.setFontUnderline(on);
        } else if (w == "ulnone") {
            f.setFontUnderline(false);
        } else if (w == "strike" || w == "striked") {
            f.setFontStrikeOut(on);
        } else if (w == "f") {
            const auto it = fonts_.constFind(p);
            if (it != fonts_.cend()) {
                f.setFontFamilies({it->name});
                codePage = it->codePage;
            }
        } else if (w == "fs") {
            if (p > 0 && p <= 3276)
                f.setFontPointSize(p / 2.0);
        } else if (w == "cf") {
            if (knownColor)
                f.setForeground(colors_[p]);
            else
                f.clearProperty(QTextFormat::ForegroundBrush);
        } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
            if (knownColor)
                f.setBackground(colors_[p]);
            else
                f.clearProperty(QTextFormat::BackgroundBrush);
        } else {
            return; // unknown control words are ignored
        }
        if (f != g.fmt || codePage != g.codePage) {
            // Bytes read so far belong to the old font and its code page.
            flushBytes();
            g.fmt = f;
            g.codePage = codePage;
        }
    }

    void unicode(int p)
    {
        flushBytes();
        int u = p < 0 ? p + 65536 : p;
        if (u < 0 || u > 0xFFFF)
            u = 0xFFFD;
        textChar(QChar(char16_t(u)));
        skip_ = top().uc;
    }

    void byte(char c)
    {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        const Dest d = overflow_ > 0 ? Dest::Skip : top().dest;
        if (d == Dest::Skip)
            return;
        if (d == Dest::ColorTable) {
            if (c == ';') {
                colors_.append(colorStarted_ ? color_ : QColor());
                color_ = QColor(0, 0, 0);
                colorStarted_ = false;
            }
            return;
        }
        if (d == Dest::FontTable) {
            if (c == ';')
                commitFont();
            else
                fontBytes_ += c;
            return;
        }
        pendingBytes_ += c;
    }

    void commitFont()
    {
        if (fontId_ >= 0) {
            QString name = decodeCodePage(fontBytes_, fontCodePage_ ? fontCodePage_ : docCodePage_);
            name = fontName_ + name;
            fonts_.insert(fontId_, FontEntry{name.trimmed(), fontCodePage_});
        }
        fontId_ = -1;
        fontCodePage_ = 0;
        fontBytes_.clear();
        fontName_.clear();
    }

    // A character reached outside the byte stream (\uN, \tab, ...).
    void textChar(QChar ch)
    {
        flushBytes();
        const Dest d = overflow_ > 0 ? Dest::Skip : top().dest;
        if (d == Dest::FontTable) {
            fontName_ += decodeCodePage(fontBytes_, fontCodePage_ ? fontCodePage_ : docCodePage_);
            fontBytes_.clear();
            fontName_ += ch;
            return;
        }
        if (d != Dest::Text)
            return;
        appendText(QString(ch));
    }

    void flushBytes()
    {
        if (pendingBytes_.isEmpty())
            return;
        const int cp = top().codePage ? top().codePage : docCodePage_;
        const QByteArray bytes = pendingBytes_;
        pendingBytes_.clear();
        appendText(decodeCodePage(bytes, cp));
    }

    void appendText(const QString& s)
    {
        if (s.isEmpty())
            return;
        const QTextCharFormat& f = top().fmt;
        if (!runText_.isEmpty() && f != runFormat_)
            flushText();
        if (runText_.isEmpty())
            runFormat_ = f;
        runText_ += s;
    }

    void flushText()
    {
        if (runText_.isEmpty())
            return;
        materialiseParagraphs();
        applyAlignment();
        // Surrogate halves that arrived as separate \uN pairs are already adjacent here.
        cursor_.insertText(runText_, runFormat_);
        runText_.clear();
    }

    void paragraph()
    {
        flushBytes();
        if (!inText())
            return;
        flushText();
        materialiseParagraphs();
        applyAlignment();
        ++pendingParagraphs_;
    }

    // Paragraph marks become blocks only when something follows them, so the mark
    // that ends the last paragraph adds no empty line.
    void materialiseParagraphs()
    {
        for (; pendingParagraphs_ > 0; --pendingParagraphs_) {
            QTextBlockFormat bf;
            bf.setAlignment(align_);
            cursor_.insertBlock(bf, QTextCharFormat());
        }
    }

    void applyAlignment()
    {
        if (cursor_.blockFormat().alignment() != align_) {
            QTextBlockFormat bf = cursor_.blockFormat();
            bf.setAlignment(align_);
            cursor_.setBlockFormat(bf);
        }
    }

    const QByteArray& in_;
    QTextCursor cursor_;
    qsizetype pos_ = 0;
    QList<GroupState> stack_;
    qsizetype overflow_ = 0; // groups opened beyond kMaxDepth, read as skipped
    int skip_ = 0;           // fallback characters still to drop after \uN
    bool starred_ = false;
    int docCodePage_ = 1252;
    Qt::Alignment align_ = Qt::AlignLeft;
    int pendingParagraphs_ = 0;

    QHash<int, FontEntry> fonts_;
    int fontId_ = -1;
    int fontCodePage_ = 0;
    QByteArray fontBytes_;
    QString fontName_;

    QList<QColor> colors_;
    QColor color_{0, 0, 0};
    bool colorStarted_ = false;

    QByteArray pendingBytes_;
    QString runText_;
    QTextCharFormat runFormat_;
};

} // namespace

bool ReadRtf(const QByteArray& bytes, QTextDocument& doc)
{
    if (!LooksLikeRtf(bytes))
        return false;
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    {
        RtfReader reader(bytes, doc);
        reader.run();
    }
    doc.setUndoRedoEnabled(undo);
    return true;
}

void LoadNoteDocument(const QByteArray& bytes, QTextDocument& doc)
{
    if (ReadRtf(bytes, doc))
        return;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = DecodeGbk(bytes);
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(text);
    doc.setUndoRedoEnabled(undo);
}

} // namespace platform
