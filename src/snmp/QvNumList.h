#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// A list of numbers parsed from delimited text ("1,3,5"). Used with int (item selections of
// requests) and unsigned int (delimited number input of edits).
template <typename T>
class QvNumList {
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, unsigned int>);

public:
    char delimiter = '.';

    // Replaces the elements. One element per delimiter-separated field, 0 for an empty field.
    // Callers pass digits and delimiters only: any other character adds its code minus '0'.
    // Digits after a "." (when "." is not the delimiter) never change the element.
    void Parse(const std::string& text)
    {
        m_items.clear();
        if (text.empty())
            return;
        size_t count = 1;
        for (char c : text)
            count += c == delimiter;
        m_items.assign(count, T{});
        size_t index = 0;
        bool fraction = false;
        double scale = 1.0;
        for (char c : text) {
            if (c == delimiter) {
                ++index;
                fraction = false;
            } else if (c == '.') {
                fraction = true;
                scale = 1.0;
            } else if (fraction) {
                scale *= 0.1;
                const double sum = static_cast<double>(m_items[index]) + (c - '0') * scale;
                m_items[index] = static_cast<T>(static_cast<long long>(sum));
            } else {
                // Unsigned arithmetic: wraps instead of overflowing on odd input.
                const auto u = static_cast<unsigned int>(m_items[index]) * 10u
                    + static_cast<unsigned int>(static_cast<int>(c) - '0');
                m_items[index] = static_cast<T>(u);
            }
        }
    }

    uint32_t Count() const { return static_cast<uint32_t>(m_items.size()); }
    T operator[](uint32_t i) const { return m_items[i]; }
    const std::vector<T>& Items() const { return m_items; }

    // Position of the first element equal to value, -1 when none.
    int IndexOf(T value) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i] == value)
                return static_cast<int>(i);
        return -1;
    }

    // Every element within [min, max]; true for an empty list.
    bool AllWithin(T min, T max) const
    {
        for (T item : m_items)
            if (item < min || item > max)
                return false;
        return true;
    }

private:
    std::vector<T> m_items;
};
