#include "Json.h"

#include <cstdint>

namespace json {
namespace {

constexpr int kMaxDepth = 64;

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    std::variant<Value, ParseError> document() {
        skipSpace();
        Value root;
        if (!value(root, 0))
            return m_error;
        skipSpace();
        if (m_at != m_text.size())
            return fail("unexpected text after the end of the document");
        return root;
    }

private:
    ParseError fail(std::string message) {
        m_error = {std::move(message), m_line, m_column};
        return m_error;
    }
    bool failed(std::string message) {
        fail(std::move(message));
        return false;
    }
    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }
    void advance() {
        if (m_text[m_at] == '\n') {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
        ++m_at;
    }
    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            advance();
    }
    bool literal(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word)
            return failed("unexpected character");
        for (std::size_t i = 0; i < word.size(); ++i)
            advance();
        return true;
    }

    bool value(Value& out, int depth) {
        if (depth > kMaxDepth)
            return failed("values nested too deeply");
        out.line = m_line;
        out.column = m_column;
        switch (peek()) {
        case '{':
            return object(out, depth);
        case '[':
            return array(out, depth);
        case '"':
            out.type = Value::Type::String;
            return string(out.text);
        case 't':
            out.type = Value::Type::Bool;
            out.boolean = true;
            return literal("true");
        case 'f':
            out.type = Value::Type::Bool;
            return literal("false");
        case 'n':
            return literal("null");
        default:
            out.type = Value::Type::Number;
            return number(out.text);
        }
    }

    bool object(Value& out, int depth) {
        out.type = Value::Type::Object;
        advance(); // {
        skipSpace();
        if (peek() == '}') {
            advance();
            return true;
        }
        while (true) {
            skipSpace();
            if (peek() != '"')
                return failed("expected a member name in quotes");
            std::string key;
            if (!string(key))
                return false;
            skipSpace();
            if (peek() != ':')
                return failed("expected ':' after a member name");
            advance();
            skipSpace();
            Value member;
            if (!value(member, depth + 1))
                return false;
            out.members.push_back({std::move(key), std::move(member)});
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            if (peek() == '}') {
                advance();
                return true;
            }
            return failed("expected ',' or '}'");
        }
    }

    bool array(Value& out, int depth) {
        out.type = Value::Type::Array;
        advance(); // [
        skipSpace();
        if (peek() == ']') {
            advance();
            return true;
        }
        while (true) {
            skipSpace();
            Value item;
            if (!value(item, depth + 1))
                return false;
            out.items.push_back(std::move(item));
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            if (peek() == ']') {
                advance();
                return true;
            }
            return failed("expected ',' or ']'");
        }
    }

    bool number(std::string& out) {
        const std::size_t start = m_at;
        if (peek() == '-')
            advance();
        if (peek() == '0') {
            advance();
        } else if (peek() >= '1' && peek() <= '9') {
            while (peek() >= '0' && peek() <= '9')
                advance();
        } else {
            return failed("unexpected character");
        }
        if (peek() == '.') {
            advance();
            if (!(peek() >= '0' && peek() <= '9'))
                return failed("expected a digit after the decimal point");
            while (peek() >= '0' && peek() <= '9')
                advance();
        }
        if (peek() == 'e' || peek() == 'E') {
            advance();
            if (peek() == '+' || peek() == '-')
                advance();
            if (!(peek() >= '0' && peek() <= '9'))
                return failed("expected a digit in the exponent");
            while (peek() >= '0' && peek() <= '9')
                advance();
        }
        out.assign(m_text.substr(start, m_at - start));
        return true;
    }

    bool hex4(std::uint32_t& code) {
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = peek();
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0)
                return failed("expected four hexadecimal digits after \\u");
            code = code * 16 + static_cast<std::uint32_t>(digit);
            advance();
        }
        return true;
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool escape(std::string& out) {
        const char c = peek();
        advance();
        switch (c) {
        case '"':
            out += '"';
            return true;
        case '\\':
            out += '\\';
            return true;
        case '/':
            out += '/';
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            return failed("unknown escape sequence");
        }
        std::uint32_t code = 0;
        if (!hex4(code))
            return false;
        if (code >= 0xD800 && code <= 0xDBFF) { // a surrogate pair makes one character
            std::uint32_t low = 0;
            if (m_text.substr(m_at, 2) != "\\u")
                return failed("a high surrogate must be followed by a low one");
            advance();
            advance();
            if (!hex4(low) || low < 0xDC00 || low > 0xDFFF)
                return failed("a high surrogate must be followed by a low one");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return failed("a low surrogate without a high one");
        }
        appendUtf8(out, code);
        return true;
    }

    bool string(std::string& out) {
        advance(); // opening quote
        while (true) {
            if (atEnd())
                return failed("the text ends inside a string");
            const char c = peek();
            if (c == '"') {
                advance();
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return failed("a control character inside a string");
            advance();
            if (c == '\\') {
                if (atEnd())
                    return failed("the text ends inside a string");
                if (!escape(out))
                    return false;
            } else {
                out += c;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    int m_line = 1;
    int m_column = 1;
    ParseError m_error;
};

} // namespace

const Value* Value::member(std::string_view key) const {
    for (const Member& found : members)
        if (found.key == key)
            return &found.value;
    return nullptr;
}

std::variant<Value, ParseError> parse(std::string_view text) {
    return Parser(text).document();
}

std::string quote(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace json
