#pragma once
#include <cstddef>

// How deep the elements of an XML text nest, read before a parser sees it: a
// hostile descriptor nested thousands deep can exhaust a parser's stack. Comments,
// processing instructions, CDATA sections and declarations do not nest; quoted
// attribute values may hold '>'. Works on any text whose markup is ASCII (UTF-16
// code units, or the bytes of UTF-8 and the ANSI code pages).
template <class Char>
bool NestsDeeperThan(const Char* text, size_t length, int limit) {
    auto startsWith = [&](size_t at, const char* s) {
        for (size_t i = 0; s[i]; ++i)
            if (at + i >= length || text[at + i] != static_cast<Char>(s[i])) return false;
        return true;
    };
    auto skipPast = [&](size_t at, const char* end) {
        for (; at < length; ++at)
            if (startsWith(at, end)) return at;
        return length;
    };
    int depth = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != Char('<')) continue;
        if (startsWith(i, "<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (startsWith(i, "<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (startsWith(i, "<?")) {
            i = skipPast(i + 2, "?>");
        } else if (startsWith(i, "<!")) {
            i = skipPast(i + 2, ">");
        } else if (startsWith(i, "</")) {
            i = skipPast(i + 2, ">");
            if (depth > 0) --depth;
        } else {
            Char quote = 0;
            size_t j = i + 1;
            for (; j < length; ++j) {
                if (quote) {
                    if (text[j] == quote) quote = 0;
                } else if (text[j] == Char('"') || text[j] == Char('\'')) {
                    quote = text[j];
                } else if (text[j] == Char('>')) {
                    break;
                }
            }
            if (j >= length) return false;   // cut off: the parser refuses it
            if (text[j - 1] != Char('/') && ++depth > limit) return true;
            i = j;
        }
    }
    return false;
}
