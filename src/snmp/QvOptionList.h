#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One row of a static option table: a value and the text shown for it. A table ends at the
// first row whose text is null (that row's value is ignored).
struct OptionRow {
    int32_t value;
    const char* text;
};

// A mapping between small integer values and the texts the user sees ("0" = "Disable").
// The list keeps its own copies of the texts, so the static tables stay read-only. Row order
// matters: the first match wins in every lookup. This core has no widgets; filling and
// selecting controls is done by the binding layer over RowCount / RowAt / the lookups.
class QvOptionList {
public:
    struct Row {
        int32_t value;
        std::string text;
    };

    explicit QvOptionList(const OptionRow* table = nullptr);

    // Appends the table's rows after the existing ones; a null or empty table changes nothing.
    void AddRows(const OptionRow* table);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // The caller keeps index within RowCount.
    const Row& RowAt(int index) const { return m_rows[static_cast<size_t>(index)]; }

    // First row whose text equals text, ignoring case; -1 when none.
    int IndexOfText(const std::string& text) const;
    // First row whose value equals the decimal number in text; -1 when none, when the text is
    // "(NULL)" or when it is no plain decimal integer.
    int IndexOfValue(const std::string& text) const;
    // The display text of the row with that value; the argument itself when none matches.
    std::string ValueToText(const std::string& text) const;
    // The value (decimal) of the row with that display text; the argument itself when none.
    std::string TextToValue(const std::string& text) const;

    // Rows in a static table up to its terminating row.
    static int CountRows(const OptionRow* table);

private:
    std::vector<Row> m_rows;
};
