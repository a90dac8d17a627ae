#pragma once

#include <QIODevice>

#include <string>
#include <string_view>
#include <vector>

namespace nelvo {

// A small pull scanner for the worksheet parts of .xlsx files, which hold nearly all of a workbook's
// bytes: it works on UTF-8 as read, without building a string per token, several times faster than a
// general XML reader. It knows elements, attributes, text, the five predefined entities, character
// references, CDATA, comments and processing instructions; document type declarations are refused, so
// no entity can expand. Malformed input raises FileProblem; nothing is read beyond what is buffered.
class XmlScanner
{
public:
    enum class Token
    {
        StartTag,
        EndTag,
        Text,
        End
    };

    explicit XmlScanner(QIODevice &input) : m_input(input) {}

    Token next();
    // The element's name without its namespace prefix (StartTag, EndTag).
    std::string_view name() const { return m_name; }
    bool selfClosing() const { return m_selfClosing; }
    // The raw value of an attribute of the current start tag; empty when absent.
    std::string_view attribute(std::string_view name) const;
    // The text of the current Text token with entities resolved, appended to `out`.
    void appendText(std::string &out) const;
    // Skips to the end tag that closes the current start tag.
    void skipElement();

private:
    bool fill(std::size_t wanted);
    std::size_t find(std::string_view what, std::size_t from);
    bool parseTag(std::size_t end);

    static constexpr std::size_t chunk = 256 * 1024;
    static constexpr std::size_t maxToken = 16 * 1024 * 1024;

    QIODevice &m_input;
    std::string m_buffer;
    std::size_t m_pos = 0;
    bool m_eof = false;
    std::string_view m_name;
    bool m_selfClosing = false;
    std::vector<std::pair<std::string_view, std::string_view>> m_attributes;
    std::string_view m_text;
    bool m_textIsRaw = false; // CDATA: no entities
};

} // namespace nelvo
