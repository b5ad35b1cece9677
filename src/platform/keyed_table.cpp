#include "platform/keyed_table.h"

namespace miratos::platform {

void KeyedTable::Row::setSubItem(int n, const QString& value)
{
    if (n < 1)
        return;
    while (subItems.size() < n)
        subItems.append(QString());
    subItems[n - 1] = value;
}

bool KeyedTable::add(const QString& key, const QString& text, const QStringList& subItems)
{
    if (!key.isEmpty()) {
        if (m_index.contains(key))
            return false;
        m_index.insert(key, static_cast<int>(m_rows.size()));
    }
    m_rows.push_back(Row{key, text, subItems});
    return true;
}

int KeyedTable::indexOf(const QString& key) const
{
    const auto it = m_index.constFind(key);
    return it == m_index.constEnd() ? 0 : it.value() + 1;
}

KeyedTable::Row* KeyedTable::find(const QString& key)
{
    const auto it = m_index.constFind(key);
    return it == m_index.constEnd() ? nullptr : &m_rows[static_cast<size_t>(it.value())];
}

const KeyedTable::Row* KeyedTable::find(const QString& key) const
{
    const auto it = m_index.constFind(key);
    return it == m_index.constEnd() ? nullptr : &m_rows[static_cast<size_t>(it.value())];
}

bool KeyedTable::remove(const QString& key)
{
    const auto it = m_index.constFind(key);
    if (it == m_index.constEnd())
        return false;
    const int row = it.value();
    m_index.erase(it);
    m_rows.erase(m_rows.begin() + row);
    for (auto& index : m_index) {
        if (index > row)
            --index;
    }
    return true;
}

void KeyedTable::clear()
{
    m_rows.clear();
    m_index.clear();
}

void KeyedTable::reserve(int rows)
{
    m_rows.reserve(static_cast<size_t>(rows));
    m_index.reserve(rows);
}

} // namespace miratos::platform
