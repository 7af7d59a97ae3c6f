#pragma once

#include "app/fatal_error.h"

#include <QString>

#include <new>
#include <vector>

// Both tests of an item read, against the count at that moment. Never returns when either fails.
void checkItemIndex(qint64 index, qint64 count);

// A growable list with 1-based indexes whose every read is checked. Running out of memory while it
// grows is reported with the number of bytes that were asked for.
template <typename T>
class TileList
{
public:
    qint32 count() const { return static_cast<qint32>(m_items.size()); }

    const T &item(qint64 index) const
    {
        checkItemIndex(index, count());
        return m_items[static_cast<std::size_t>(index - 1)];
    }

    // Replaces an item, with the same checks as a read.
    void setItem(qint64 index, T value)
    {
        checkItemIndex(index, count());
        m_items[static_cast<std::size_t>(index - 1)] = std::move(value);
    }

    void append(T value)
    {
        if (m_items.size() == m_items.capacity()) {
            const std::size_t wanted = m_items.empty() ? 8 : m_items.size() * 2;
            try {
                m_items.reserve(wanted);
            } catch (const std::bad_alloc &) {
                FatalRuntimeError(0, allocationFailureMessage(static_cast<qint64>(wanted * sizeof(T))));
            } catch (const std::length_error &) {
                FatalRuntimeError(0, allocationFailureMessage(static_cast<qint64>(wanted * sizeof(T))));
            }
        }
        m_items.push_back(std::move(value));
    }

private:
    std::vector<T> m_items;
};
