#include "Csv.h"

#include "base/Text.h"

namespace csv {
namespace {

bool isBlank(const Row& row) {
    return row.fieldCount == 1 && row.fields.front().empty();
}

class Reader {
public:
    Reader(std::string_view text, std::size_t maxRows, std::size_t maxFields)
        : m_text(text), m_maxRows(maxRows), m_maxFields(maxFields) {
        m_text = base::withoutByteOrderMark(m_text);
        m_separator = separatorOf(m_text.substr(0, m_text.find_first_of("\r\n")));
    }

    Table table() {
        while (m_at < m_text.size()) {
            Row row;
            row.line = m_line;
            if (!readRow(row))
                break; // the row runs to the end of the text unterminated
            if (isBlank(row))
                continue;
            if (m_table.rows.size() == m_maxRows) {
                m_table.complete = false;
                break;
            }
            m_table.rows.push_back(std::move(row));
        }
        return std::move(m_table);
    }

private:
    // Spreadsheets of many European locales separate fields with semicolons, as the decimal
    // point is a comma there: a first line with semicolons and no comma says so.
    static char separatorOf(std::string_view header) {
        const bool semicolons = header.find(';') != std::string_view::npos;
        return semicolons && header.find(',') == std::string_view::npos ? ';' : ',';
    }

    [[nodiscard]] bool endsField(char c) const {
        return c == m_separator || c == '\r' || c == '\n';
    }

    // Consumes one line end (CRLF, LF or CR) if one starts here.
    bool lineEnd() {
        if (m_at >= m_text.size())
            return false;
        if (m_text[m_at] == '\r') {
            ++m_at;
            if (m_at < m_text.size() && m_text[m_at] == '\n')
                ++m_at;
        } else if (m_text[m_at] == '\n') {
            ++m_at;
        } else {
            return false;
        }
        ++m_line;
        return true;
    }

    // A row of thousands of broken fields says no more than its first ones.
    void error(int line, const char* message) {
        if (m_table.errors.size() < m_maxRows)
            m_table.errors.push_back(
                base::Error::at(base::Error::Kind::InvalidInput, "", line, "", message));
    }

    bool readRow(Row& row) {
        while (true) {
            std::string field;
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                if (!quotedField(field, row.line))
                    return false;
            } else {
                while (m_at < m_text.size() && !endsField(m_text[m_at]))
                    field += m_text[m_at++];
            }
            if (row.fieldCount++ < m_maxFields)
                row.fields.push_back(std::move(field));
            if (m_at >= m_text.size())
                return true;
            if (m_text[m_at] == m_separator) {
                ++m_at;
                continue;
            }
            lineEnd();
            return true;
        }
    }

    bool quotedField(std::string& field, int rowLine) {
        ++m_at; // the opening quote
        while (true) {
            if (m_at >= m_text.size()) {
                error(rowLine, "a quoted field is never closed");
                return false;
            }
            const char c = m_text[m_at];
            if (c == '"') {
                if (m_at + 1 < m_text.size() && m_text[m_at + 1] == '"') {
                    field += '"';
                    m_at += 2;
                    continue;
                }
                ++m_at;
                break;
            }
            if (c == '\r' || c == '\n') {
                lineEnd();
                field += '\n';
                continue;
            }
            field += c;
            ++m_at;
        }
        // After the closing quote only a separator or a line end may follow.
        if (m_at < m_text.size() && !endsField(m_text[m_at])) {
            error(m_line, "text after the closing quote of a field");
            while (m_at < m_text.size() && !endsField(m_text[m_at]))
                field += m_text[m_at++];
        }
        return true;
    }

    std::string_view m_text;
    std::size_t m_maxRows;
    std::size_t m_maxFields;
    char m_separator = ',';
    std::size_t m_at = 0;
    int m_line = 1;
    Table m_table;
};

} // namespace

Table read(std::string_view text, std::size_t maxRows, std::size_t maxFields) {
    return Reader(text, maxRows, maxFields).table();
}

std::string quote(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(field);
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace csv
