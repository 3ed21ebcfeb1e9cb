#include "platform/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// One character of a document with the formatting a note keeps.
struct StyledChar {
    QChar ch;
    QString family;
    double pointSize;
    bool bold, italic, underline, strike;
    QRgb color; // 0 when none is set
    friend bool operator==(const StyledChar&, const StyledChar&) = default;
};

std::vector<StyledChar> styled(const QTextDocument& doc)
{
    std::vector<StyledChar> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList fam = f.fontFamilies().toStringList();
            const QRgb color = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().rgb() : 0;
            for (const QChar c : it.fragment().text())
                out.push_back({c, fam.value(0), f.fontPointSize(), f.fontWeight() >= QFont::Bold, f.fontItalic(),
                               f.fontUnderline(), f.fontStrikeOut(), color});
        }
        if (b.next().isValid())
            out.push_back({QChar('\n'), {}, 0, false, false, false, false, 0});
    }
    return out;
}

// The paragraphs joined by '\n', line separators and no-break spaces kept as they are.
QString rawText(const QTextDocument& doc)
{
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(QLatin1Char('\n'));
}

QString text(const QByteArray& rtf)
{
    QTextDocument doc;
    platform::LoadNoteDocument(rtf, doc);
    return rawText(doc);
}

TEST(Rtf, RoundTripKeepsTextAndCharacterFormatting)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("普通 "));
    QTextCharFormat red;
    red.setForeground(QColor(0xFF, 0, 0));
    c.insertText(QStringLiteral("红色"), red);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontFamilies({QStringLiteral("黑体")});
    bold.setFontPointSize(14);
    c.insertText(QStringLiteral("粗体"), bold);
    QTextCharFormat mixed;
    mixed.setFontItalic(true);
    mixed.setFontUnderline(true);
    mixed.setFontStrikeOut(true);
    mixed.setForeground(QColor(0x12, 0x34, 0x56));
    mixed.setFontPointSize(10.5);
    c.insertText(QStringLiteral("斜下删 √×"), mixed);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred, QTextCharFormat());
    c.insertText(QStringLiteral("tab\there{braces}\\back\u2028next 😀 € bell\u0007"));
    c.insertBlock();
    c.insertBlock(); // two empty paragraphs at the end

    const QByteArray rtf = platform::WriteRtf(doc);
    ASSERT_TRUE(platform::LooksLikeRtf(rtf));
    for (const char ch : rtf)
        ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "the writer emits ASCII only";

    QTextDocument back;
    platform::LoadNoteDocument(rtf, back);
    EXPECT_EQ(rawText(back), rawText(doc));
    EXPECT_EQ(back.blockCount(), doc.blockCount());
    EXPECT_TRUE(styled(back) == styled(doc));
    EXPECT_EQ(back.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    // Writing what was read gives the same bytes again.
    EXPECT_EQ(platform::WriteRtf(back), rtf);
}

TEST(Rtf, EmptyDocumentRoundTrips)
{
    QTextDocument doc;
    const QByteArray rtf = platform::WriteRtf(doc);
    QTextDocument back;
    back.setPlainText(QStringLiteral("old content"));
    platform::LoadNoteDocument(rtf, back);
    EXPECT_TRUE(back.isEmpty());
}

// RTF as a Windows rich-edit control writes it.
TEST(Rtf, ReadsRichEditOutput)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fprq2\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\generator Riched20 10.0.19041;}\\viewkind4\\uc1 \r\n"
        "\\pard\\lang2052\\f0\\fs30 \\'c4\\'e3\\'ba\\'c3\\cf1\\b \\'ca\\'c0\\'bd\\'e7\\cf0\\b0\\par\r\n"
        "\\f1\\fs20 abc\\tab d\\line e\\par\r\n"
        "}\r\n";
    QTextDocument doc;
    platform::LoadNoteDocument(rtf, doc);
    EXPECT_EQ(rawText(doc), QStringLiteral("你好世界\nabc\td\u2028e"));
    const auto chars = styled(doc);
    ASSERT_GE(chars.size(), 4u);
    EXPECT_EQ(chars[0].family, QStringLiteral("宋体"));
    EXPECT_EQ(chars[0].pointSize, 15.0);
    EXPECT_EQ(chars[0].color, 0u);
    EXPECT_EQ(chars[2].color, qRgb(255, 0, 0));
    EXPECT_TRUE(chars[2].bold);
    EXPECT_FALSE(chars[0].bold);
    EXPECT_EQ(chars[5].family, QStringLiteral("Arial"));
}

struct TextCase {
    const char* name;
    QByteArray input;
    QString expected;
};

class RtfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfText, Reads)
{
    EXPECT_EQ(text(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, RtfText,
    ::testing::Values(
        TextCase{"unicode_with_ascii_fallback", "{\\rtf1\\ansi\\ansicpg936\\uc1 x\\u8364?\\u-10179?\\u-8704?y}",
                 QStringLiteral("x€😀y")},
        TextCase{"unicode_with_gbk_fallback_uc2", "{\\rtf1\\ansi\\ansicpg936\\uc2\\u20320\\'c4\\'e3\\u22909\\'ba\\'c3!}",
                 QStringLiteral("你好!")},
        TextCase{"uc_is_scoped_to_its_group", "{\\rtf1\\uc1{\\uc2\\u20320\\'c4\\'e3}\\u22909?}", QStringLiteral("你好")},
        TextCase{"skipped_destinations",
                 "{\\rtf1\\ansi{\\info{\\author someone}}{\\stylesheet{\\s0 Normal;}}{\\*\\unknown zzz}"
                 "{\\pict\\wmetafile8\\picw10 0102abcdef}{\\*\\pn{\\pntxtb x}}visible}",
                 QStringLiteral("visible")},
        TextCase{"binary_data_is_skipped_by_length", "{\\rtf1 a{\\pict\\bin4 }}}}}b}", QStringLiteral("ab")},
        TextCase{"field_result_is_text",
                 "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}", QStringLiteral("link")},
        TextCase{"escaped_symbols", "{\\rtf1 a\\{b\\}c\\\\d\\~e}", QStringLiteral("a{b}c\\d\u00A0e")},
        TextCase{"cp1252_bytes", "{\\rtf1\\ansi caf\\'e9}", QStringLiteral("café")},
        TextCase{"gbk_font_charset_in_ansi_document",
                 "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset134 SimSun;}}\\f1 \\'c4\\'e3\\f0 \\'e9}",
                 QStringLiteral("你é")},
        TextCase{"unbalanced_closing_braces", "{\\rtf1 abc}}}}def", QStringLiteral("abcdef")},
        TextCase{"missing_closing_braces", "{\\rtf1 {\\b abc", QStringLiteral("abc")},
        TextCase{"huge_numbers", "{\\rtf1\\fs99999999999999999999 a\\u99999999999?b\\cf-99999999999 c}",
                 QStringLiteral("a\uFFFDbc")},
        TextCase{"huge_fallback_count_is_capped", "{\\rtf1\\uc99999999999\\u20320 abcdefghijklmn}", QStringLiteral("你klmn")},
        TextCase{"truncated_hex_escape", "{\\rtf1 ab\\'4", QStringLiteral("ab")},
        TextCase{"truncated_control_word", "{\\rtf1 ab\\", QStringLiteral("ab")},
        TextCase{"truncated_gbk_pair", "{\\rtf1\\ansi\\ansicpg936 \\'c4", QStringLiteral("\uFFFD")},
        TextCase{"plain_utf8_text", "你好\nworld", QStringLiteral("你好\nworld")},
        TextCase{"plain_gbk_text", "\xC4\xE3\xBA\xC3", QStringLiteral("你好")},
        TextCase{"empty_bytes", QByteArray(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rtf, DeepNestingNeitherCrashesNorHangs)
{
    QByteArray rtf = "{\\rtf1 ";
    rtf += QByteArray(200000, '{');
    rtf += "deep";
    rtf += QByteArray(200000, '}');
    rtf += "after}";
    // Text nested beyond the depth the reader follows is dropped; what follows reads on.
    EXPECT_TRUE(text(rtf).endsWith(QStringLiteral("after")));

    QByteArray words = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        words += "\\b\\i\\ul\\cf3\\f9\\'";
    EXPECT_TRUE(text(words).isEmpty());
}

} // namespace
