#pragma once

// Code pages of rich text: which one a font's character set stands for, and
// decoding the 8-bit text written in it. Private to the RTF reader and writer.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringDecoder>

#include <memory>

namespace rtf_p {

// Windows' number for the Symbol font's own encoding.
inline constexpr int kSymbolCodePage = 42;
// Other fonts of the symbol character set (Wingdings and the like): their
// bytes have no Unicode meaning and go to the private use area, as Windows does.
inline constexpr int kPrivateSymbolCodePage = -42;
inline constexpr int kAnsiCodePage = 1252;

// The code page of a font character set (\fcharset); DEFAULT_CHARSET and
// unknown sets use the document's code page. Symbol fonts other than
// "Symbol" itself get kPrivateSymbolCodePage.
int CodePageOfCharset(int charset, int documentCodePage, const QString& fontName);

// Unicode of a byte in the Symbol font (Adobe's symbol encoding).
char16_t SymbolToUnicode(unsigned char byte);

// Decodes bytes of one code page. Windows-1252 and the symbol pages use our
// own tables; the others go through the system's converters, kept per page.
// Unknown code pages decode as Windows-1252.
class TCodePageDecoder {
public:
    TCodePageDecoder();
    ~TCodePageDecoder();
    TCodePageDecoder(const TCodePageDecoder&) = delete;
    TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;

    QString Decode(const QByteArray& bytes, int codePage);

private:
    QStringDecoder* DecoderFor(int codePage);
    QHash<int, std::shared_ptr<QStringDecoder>> fDecoders;
};

} // namespace rtf_p
