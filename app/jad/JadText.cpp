// The pure side of the jar's companions: the .jad text transform and whether a jar is signed.
#include <algorithm>
#include <string_view>

#include "app/jad/Jad.h"

namespace app {

namespace {
const std::string_view kUtf8Bom = "\xEF\xBB\xBF";
const std::string_view kJarUrl = "MIDlet-Jar-URL";
const std::string_view kJarSize = "MIDlet-Jar-Size";
const std::string_view kJarSignature = "MIDlet-Jar-RSA-SHA1";
const std::string_view kCertificatePrefix = "MIDlet-Certificate-";
const std::string_view kSignatureFolder = "META-INF";
const std::string_view kSignatureExtensions[] = {"SF", "RSA", "DSA", "EC"};

// One attribute as it lies in the text: its first line and the continuation lines after it. JAD lines do
// not continue, but a descriptor made by a manifest writer may wrap long certificates with a leading space.
struct TAttribute {
    size_t Begin = 0;       // first byte of the first line
    size_t LineEnd = 0;     // end of the first line, before its line end
    size_t LineNext = 0;    // start of the line after the first one
    size_t Next = 0;        // start of the line after the last continuation line
    std::string_view Name;  // before the first ':', empty when the line has none
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Where the line starting at `begin` ends, before CR LF, LF or a lone CR, and where the next one starts.
void FindLineEnd(std::string_view text, size_t begin, size_t& end, size_t& next) {
    end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
        end = next = text.size();
        return;
    }
    next = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

std::vector<TAttribute> SplitAttributes(std::string_view text, size_t begin) {
    std::vector<TAttribute> attributes;
    for (size_t pos = begin; pos < text.size();) {
        size_t end = 0, next = 0;
        FindLineEnd(text, pos, end, next);
        if (text[pos] == ' ' && !attributes.empty()) {
            attributes.back().Next = next;
        } else {
            const std::string_view line = text.substr(pos, end - pos);
            const size_t colon = line.find(':');
            attributes.push_back({pos, end, next, next, colon == std::string_view::npos ? "" : line.substr(0, colon)});
        }
        pos = next;
    }
    return attributes;
}

// Where the value of the attribute's first line starts and ends, without the blanks around it.
void ValueSpan(std::string_view text, const TAttribute& a, size_t& begin, size_t& end) {
    begin = a.Begin + a.Name.size() + 1;
    while (begin < a.LineEnd && IsBlank(text[begin]))
        ++begin;
    end = a.LineEnd;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
}

// The whole value, continuation lines joined as a manifest joins them (their first space dropped).
std::string Value(std::string_view text, const TAttribute& a) {
    size_t begin = 0, end = 0;
    ValueSpan(text, a, begin, end);
    std::string value(text.substr(begin, a.LineEnd - begin));
    for (size_t pos = a.LineNext; pos < a.Next;) {
        size_t lineEnd = 0, next = 0;
        FindLineEnd(text, pos, lineEnd, next);
        value.append(text.substr(pos + 1, lineEnd - pos - 1));
        pos = next;
    }
    while (!value.empty() && IsBlank(value.back()))
        value.pop_back();
    return value;
}

bool IsSignatureAttribute(std::string_view name) {
    return name == kJarSignature || name.starts_with(kCertificatePrefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "%xx" escapes decoded; a '%' not followed by two hex digits stays as it is.
std::string PercentDecoded(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const int high = s[i] == '%' && i + 2 < s.size() ? HexDigit(s[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(s[i + 2]) : -1;
        if (low < 0) {
            out += s[i];
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// The file name a URL or path ends in: after the last '/' or '\', before a query or fragment.
std::string_view LastPart(std::string_view url) {
    url = url.substr(0, url.find_first_of("?#"));
    const size_t slash = url.find_last_of("/\\");
    return slash == std::string_view::npos ? url : url.substr(slash + 1);
}

// The text's first line end, LF when it has none.
std::string_view LineEndStyle(std::string_view text) {
    const size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return "\n";
    return text.substr(end, text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// The size line, added where `out` stops: ended at a line start, or started after a last line without end.
void AppendSizeLine(std::string& out, size_t bodyBegin, std::string_view lineEnd, uint64_t jarSize) {
    const std::string line = std::string(kJarSize) + ": " + std::to_string(jarSize);
    const bool atLineStart = out.size() == bodyBegin || out.back() == '\n' || out.back() == '\r';
    if (atLineStart)
        out.append(line).append(lineEnd);
    else
        out.append(lineEnd).append(line);
}

bool IsSignatureFile(std::string_view name) {
    const size_t slash = name.find_first_of("/\\");
    if (slash == std::string_view::npos || !EqualsIgnoringCase(name.substr(0, slash), kSignatureFolder))
        return false;
    const std::string_view file = name.substr(slash + 1);
    const size_t dot = file.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || file.find_first_of("/\\") != std::string_view::npos)
        return false;
    return std::any_of(std::begin(kSignatureExtensions), std::end(kSignatureExtensions),
                       [&](std::string_view ext) { return EqualsIgnoringCase(file.substr(dot + 1), ext); });
}
}  // namespace

bool JarUrlNames(const std::string& url, const std::string& jarName) {
    const std::string_view last = LastPart(url);
    return EqualsIgnoringCase(last, jarName) || EqualsIgnoringCase(PercentDecoded(last), jarName);
}

TJadEdit EditJadText(const std::string& text, const std::string& jarName, uint64_t jarSize, bool jarBytesChanged) {
    TJadEdit edit;
    const size_t bodyBegin = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    const std::vector<TAttribute> attributes = SplitAttributes(text, bodyBegin);
    const auto url =
        std::find_if(attributes.begin(), attributes.end(), [](const TAttribute& a) { return a.Name == kJarUrl; });
    // An empty URL names no jar at all, which is as good as none.
    const std::string urlValue = url == attributes.end() ? std::string() : Value(text, *url);
    edit.NamesThisJar = urlValue.empty() || JarUrlNames(urlValue, jarName);
    if (!edit.NamesThisJar) {
        edit.OtherJarUrl = urlValue;
        edit.Text = text;
        return edit;
    }
    edit.SizeAdded =
        std::none_of(attributes.begin(), attributes.end(), [](const TAttribute& a) { return a.Name == kJarSize; });
    const std::string_view lineEnd = LineEndStyle(text);
    edit.Text.reserve(text.size());
    edit.Text.append(text, 0, bodyBegin);
    for (const TAttribute& a : attributes) {
        if (jarBytesChanged && IsSignatureAttribute(a.Name)) {
            edit.SignatureRemoved = true;
        } else if (a.Name == kJarSize) {
            // A size wrapped over continuation lines is written back on its first line alone.
            size_t begin = 0, end = 0;
            ValueSpan(text, a, begin, end);
            edit.Text.append(text, a.Begin, begin - a.Begin).append(std::to_string(jarSize));
            edit.Text.append(text, end, a.LineNext - end);
            edit.SizeSet = true;
        } else {
            edit.Text.append(text, a.Begin, a.Next - a.Begin);
        }
        if (edit.SizeAdded && url != attributes.end() && &a == &*url)
            AppendSizeLine(edit.Text, bodyBegin, lineEnd, jarSize);
    }
    if (edit.SizeAdded && url == attributes.end())
        AppendSizeLine(edit.Text, bodyBegin, lineEnd, jarSize);
    edit.Changed = edit.Text != text;
    return edit;
}

bool IsSignedJar(const std::vector<std::string>& entryNames) {
    return std::any_of(entryNames.begin(), entryNames.end(), [](const std::string& n) { return IsSignatureFile(n); });
}

}  // namespace app
