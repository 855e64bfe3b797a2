// The cells of one result row in a single heap block: the row itself is one
// pointer, its length and capacity sit in front of the cells. A table of a
// million rows thus spends 8 bytes per row on the row instead of a vector's
// 24, and an empty row allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "grid/CellValue.h"

namespace grid {

class CellRow {
public:
    CellRow() noexcept = default;
    // Delegating to the default constructor makes a throwing copy release
    // the cells already made.
    CellRow(std::initializer_list<CellValue> cells) : CellRow()
    {
        reserve(cells.size());
        for (const CellValue& cell : cells) new (Cells() + header_->size++) CellValue(cell);
    }
    CellRow(const CellRow& other) : CellRow()
    {
        reserve(other.size());
        for (const CellValue& cell : other) new (Cells() + header_->size++) CellValue(cell);
    }
    CellRow(CellRow&& other) noexcept : header_(std::exchange(other.header_, nullptr)) {}
    CellRow& operator=(const CellRow& other)
    {
        if (this != &other) *this = CellRow(other);
        return *this;
    }
    CellRow& operator=(CellRow&& other) noexcept
    {
        if (this != &other) {
            Release();
            header_ = std::exchange(other.header_, nullptr);
        }
        return *this;
    }
    ~CellRow() { Release(); }

    std::size_t size() const noexcept { return header_ ? header_->size : 0; }
    bool empty() const noexcept { return size() == 0; }
    std::size_t capacity() const noexcept { return header_ ? header_->capacity : 0; }
    CellValue& operator[](std::size_t index) noexcept { return Cells()[index]; }
    const CellValue& operator[](std::size_t index) const noexcept { return Cells()[index]; }
    CellValue* data() noexcept { return Cells(); }
    const CellValue* data() const noexcept { return Cells(); }
    CellValue* begin() noexcept { return Cells(); }
    CellValue* end() noexcept { return Cells() + size(); }
    const CellValue* begin() const noexcept { return Cells(); }
    const CellValue* end() const noexcept { return Cells() + size(); }
    operator std::span<const CellValue>() const noexcept { return {begin(), size()}; }

    // Room for `count` cells without a new block.
    void reserve(std::size_t count)
    {
        if (count > capacity()) Reallocate(count);
    }
    // New cells are empty; cells past `count` are destroyed.
    void resize(std::size_t count)
    {
        reserve(count);
        if (!header_) return;
        while (header_->size > count) std::destroy_at(Cells() + --header_->size);
        while (header_->size < count) new (Cells() + header_->size++) CellValue();
    }
    void shrink_to_fit()
    {
        if (size() == 0) Release();
        else if (size() < capacity()) Reallocate(size());
    }

private:
    struct Header {
        std::uint32_t size = 0;
        std::uint32_t capacity = 0;
    };
    static_assert(sizeof(Header) % alignof(CellValue) == 0);
    static_assert(alignof(CellValue) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

    CellValue* Cells() const noexcept
    {
        return header_ ? std::launder(reinterpret_cast<CellValue*>(header_ + 1)) : nullptr;
    }

    void Reallocate(std::size_t count)
    {
        if (count > UINT32_MAX) throw std::length_error("a row of " + std::to_string(count) + " cells");
        void* block = ::operator new(sizeof(Header) + count * sizeof(CellValue));
        auto* header = new (block) Header{0, static_cast<std::uint32_t>(count)};
        auto* cells = reinterpret_cast<CellValue*>(header + 1);
        // CellValue moves without throwing (its alternatives all do).
        for (CellValue& cell : *this) new (cells + header->size++) CellValue(std::move(cell));
        Release();
        header_ = header;
    }

    void Release() noexcept
    {
        if (!header_) return;
        std::destroy(begin(), end());
        ::operator delete(header_);
        header_ = nullptr;
    }

    Header* header_ = nullptr;
};

static_assert(std::is_nothrow_move_constructible_v<CellValue>);
static_assert(sizeof(CellRow) == sizeof(void*));

} // namespace grid
