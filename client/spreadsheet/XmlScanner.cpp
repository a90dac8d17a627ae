#include "XmlScanner.h"

#include "SpreadsheetError.h"

#include <cstring>

namespace nelvo {
namespace {

FileProblem malformed()
{
    return FileProblem(QStringLiteral("文件已损坏：工作表的 XML 内容无效"));
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

bool XmlScanner::fill(std::size_t wanted)
{
    while (m_buffer.size() - m_pos < wanted && !m_eof) {
        if (m_pos > 0 && m_pos * 2 >= m_buffer.size()) {
            m_buffer.erase(0, m_pos);
            m_pos = 0;
        }
        const std::size_t old = m_buffer.size();
        m_buffer.resize(old + chunk);
        const qint64 n = m_input.read(m_buffer.data() + old, static_cast<qint64>(chunk));
        m_buffer.resize(old + static_cast<std::size_t>(std::max<qint64>(n, 0)));
        if (n <= 0)
            m_eof = true;
    }
    return m_buffer.size() - m_pos >= wanted;
}

// Position of `what` at or after `from`, reading more as needed; npos at the end of the input.
std::size_t XmlScanner::find(std::string_view what, std::size_t from)
{
    // Kept relative to m_pos, since reading more may move the unread data to the front.
    std::size_t relative = from - m_pos;
    for (;;) {
        const std::size_t at = m_buffer.find(what, m_pos + relative);
        if (at != std::string::npos)
            return at;
        const std::size_t have = m_buffer.size() - m_pos;
        if (have > maxToken)
            throw malformed();
        relative = have >= what.size() ? have - what.size() + 1 : 0;
        if (!fill(have + 1))
            return std::string::npos;
    }
}

XmlScanner::Token XmlScanner::next()
{
    for (;;) {
        if (!fill(1))
            return Token::End;
        if (m_buffer[m_pos] != '<') {
            const std::size_t end = find("<", m_pos);
            const std::size_t stop = end == std::string::npos ? m_buffer.size() : end;
            m_text = std::string_view(m_buffer).substr(m_pos, stop - m_pos);
            m_textIsRaw = false;
            m_pos = stop;
            return Token::Text;
        }
        fill(9);
        const std::string_view head = std::string_view(m_buffer).substr(m_pos, 9);
        if (head.substr(0, 4) == "<!--") {
            const std::size_t end = find("-->", m_pos + 4);
            if (end == std::string::npos)
                throw malformed();
            m_pos = end + 3;
            continue;
        }
        if (head.substr(0, 9) == "<![CDATA[") {
            const std::size_t end = find("]]>", m_pos + 9);
            if (end == std::string::npos)
                throw malformed();
            m_text = std::string_view(m_buffer).substr(m_pos + 9, end - m_pos - 9);
            m_textIsRaw = true;
            m_pos = end + 3;
            return Token::Text;
        }
        if (head.substr(0, 2) == "<!")
            throw malformed(); // a document type declaration could define entities
        if (head.substr(0, 2) == "<?") {
            const std::size_t end = find("?>", m_pos + 2);
            if (end == std::string::npos)
                throw malformed();
            m_pos = end + 2;
            continue;
        }
        // A tag ends at the first '>' outside quotes.
        std::size_t relative = 1;
        char quote = 0;
        for (;;) {
            if (m_pos + relative >= m_buffer.size() && (relative > maxToken || !fill(relative + 1)))
                throw malformed();
            const char c = m_buffer[m_pos + relative];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
            ++relative;
        }
        const bool endTag = parseTag(m_pos + relative);
        m_pos += relative + 1;
        return endTag ? Token::EndTag : Token::StartTag;
    }
}

// Splits the tag between m_pos ('<') and `end` ('>') into name and attributes; true for an end tag.
bool XmlScanner::parseTag(std::size_t end)
{
    const std::string_view tag = std::string_view(m_buffer).substr(m_pos + 1, end - m_pos - 1);
    m_attributes.clear();
    std::size_t i = tag.empty() || tag[0] != '/' ? 0 : 1;
    const std::size_t nameStart = i;
    while (i < tag.size() && !isSpace(tag[i]) && tag[i] != '/')
        ++i;
    std::string_view name = tag.substr(nameStart, i - nameStart);
    if (name.empty())
        throw malformed();
    const std::size_t colon = name.find(':');
    m_name = colon == std::string_view::npos ? name : name.substr(colon + 1);
    m_selfClosing = !tag.empty() && tag.back() == '/';
    while (i < tag.size()) {
        while (i < tag.size() && (isSpace(tag[i]) || tag[i] == '/'))
            ++i;
        if (i >= tag.size())
            break;
        const std::size_t attrStart = i;
        while (i < tag.size() && tag[i] != '=' && !isSpace(tag[i]))
            ++i;
        std::string_view attr = tag.substr(attrStart, i - attrStart);
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            throw malformed();
        ++i;
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\''))
            throw malformed();
        const char quote = tag[i++];
        const std::size_t valueStart = i;
        const std::size_t valueEnd = tag.find(quote, valueStart);
        if (valueEnd == std::string_view::npos)
            throw malformed();
        const std::size_t attrColon = attr.find(':');
        if (attrColon != std::string_view::npos && attr.substr(0, attrColon) != "xmlns")
            attr = attr.substr(attrColon + 1);
        m_attributes.emplace_back(attr, tag.substr(valueStart, valueEnd - valueStart));
        i = valueEnd + 1;
    }
    return nameStart == 1;
}

std::string_view XmlScanner::attribute(std::string_view name) const
{
    for (const auto &a : m_attributes)
        if (a.first == name)
            return a.second;
    return {};
}

void XmlScanner::appendText(std::string &out) const
{
    if (m_textIsRaw || m_text.find('&') == std::string_view::npos) {
        out.append(m_text);
        return;
    }
    std::size_t i = 0;
    while (i < m_text.size()) {
        const std::size_t amp = m_text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(m_text.substr(i));
            return;
        }
        out.append(m_text.substr(i, amp - i));
        const std::size_t semi = m_text.find(';', amp);
        if (semi == std::string_view::npos || semi - amp > 12)
            throw malformed();
        const std::string_view entity = m_text.substr(amp + 1, semi - amp - 1);
        if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "amp")
            out += '&';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x' || entity[1] == 'X';
            char32_t c = 0;
            const std::string_view digits = entity.substr(hex ? 2 : 1);
            if (digits.empty())
                throw malformed();
            for (const char d : digits) {
                int v = -1;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                if (v < 0 || c > 0x10FFFF)
                    throw malformed();
                c = c * (hex ? 16 : 10) + static_cast<char32_t>(v);
            }
            if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                throw malformed();
            appendUtf8(out, c);
        } else {
            throw malformed();
        }
        i = semi + 1;
    }
}

void XmlScanner::skipElement()
{
    if (m_selfClosing)
        return;
    int depth = 1;
    while (depth > 0) {
        switch (next()) {
        case Token::StartTag:
            if (!m_selfClosing)
                ++depth;
            break;
        case Token::EndTag:
            --depth;
            break;
        case Token::Text:
            break;
        case Token::End:
            throw malformed();
        }
    }
}

} // namespace nelvo
