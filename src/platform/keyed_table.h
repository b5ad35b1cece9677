#pragma once
// The ordered keyed tables of the map window and the converters (the lvw… tables): rows in
// insertion order, addressed by 1-based position or by an optional unique text key, each with a
// text and numbered text sub-items (1, 2, …). Key look-up is a hash look-up.
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace miratos::platform {

class KeyedTable {
public:
    struct Row {
        QString key; // empty: the row has no key
        QString text;
        QStringList subItems; // subItems[0] is sub-item 1

        // Sub-item n (1-based); empty text when never set.
        QString subItem(int n) const { return n >= 1 && n <= subItems.size() ? subItems.at(n - 1) : QString(); }
        void setSubItem(int n, const QString& value);
    };

    // Adds a row at the end. Fails (returns false, table unchanged) when the key is not empty and
    // already present. Rows without key can always be added.
    bool add(const QString& key, const QString& text, const QStringList& subItems = {});

    // 1-based position of the row with this key, or 0 when there is none.
    int indexOf(const QString& key) const;
    bool contains(const QString& key) const { return m_index.contains(key); }

    // The row with this key, or nullptr when the key is missing.
    Row* find(const QString& key);
    const Row* find(const QString& key) const;

    // The row at a 1-based position (1 … count()).
    Row& at(int position) { return m_rows[static_cast<size_t>(position - 1)]; }
    const Row& at(int position) const { return m_rows[static_cast<size_t>(position - 1)]; }

    // Removes the row with this key; false when the key is missing.
    bool remove(const QString& key);

    int count() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void clear();
    void reserve(int rows);

    std::vector<Row>::const_iterator begin() const { return m_rows.begin(); }
    std::vector<Row>::const_iterator end() const { return m_rows.end(); }
    std::vector<Row>::iterator begin() { return m_rows.begin(); }
    std::vector<Row>::iterator end() { return m_rows.end(); }

private:
    std::vector<Row> m_rows;
    QHash<QString, int> m_index; // key -> 0-based row
};

} // namespace miratos::platform
