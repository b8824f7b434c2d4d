#pragma once
// CStringArray: a growable array of CString with the original's index-based operations.
// Access outside the array throws std::out_of_range instead of reading foreign memory.

#include <vector>

#include "platform/cstring.h"

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    void SetSize(int size) { m_items.resize(static_cast<std::size_t>(size < 0 ? 0 : size)); }

    const CString& GetAt(int index) const { return m_items.at(Checked(index)); }
    CString& ElementAt(int index) { return m_items.at(Checked(index)); }
    void SetAt(int index, const CString& value) { m_items.at(Checked(index)) = value; }
    const CString& operator[](int index) const { return GetAt(index); }
    CString& operator[](int index) { return ElementAt(index); }

    int Add(const CString& value)
    {
        m_items.push_back(value);
        return GetUpperBound();
    }
    void RemoveAt(int index, int count = 1);
    void RemoveAll() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }

private:
    static std::size_t Checked(int index) { return index < 0 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(index); }

    std::vector<CString> m_items;
};

inline void CStringArray::RemoveAt(int index, int count)
{
    if (index < 0 || count <= 0 || index >= GetSize()) return;
    const int last = index + count > GetSize() ? GetSize() : index + count;
    m_items.erase(m_items.begin() + index, m_items.begin() + last);
}
